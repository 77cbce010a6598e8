// What the steps of the report pass share. Each step runs guarded: a failure skips the rest of
// that step silently and the pass goes on with the next.
#pragma once

#include <memory>
#include <string>

#include "osinfo/COSInfo.h"
#include "report_window/frmMain.h"

constexpr char kCrLf[] = "\r\n";

struct ReportPass {
  explicit ReportPass(frmMain& window) : form(window) {}

  // The report lives only in the box: each step reads its text, adds a piece, writes it back.
  void Append(const std::string& piece) { form.Text1.Text(form.Text1.Text() + piece); }
  // The pass's one COSInfo; a step that needs it fails when it could not be made.
  const COSInfo& Info() const;

  frmMain& form;
  std::unique_ptr<COSInfo> os;
  std::string probe;         // the registry probe's text; empty means absent
  std::string probe_path;    // the file being looked for
  std::string browser_path;  // the default browser's executable, or "Browser non trovato"
};

void AppendWindowsSection(ReportPass& pass);
void AppendBrowserSection(ReportPass& pass);
void AppendJavaSection(ReportPass& pass);
void AppendFirewallSection(ReportPass& pass);

// The probe result becomes the text of a value under HKEY_LOCAL_MACHINE.
void ProbeRegistry(ReportPass& pass, const char* key_path, const char* value_name);
// A line "label value", or "label Non trovato" when the value is absent.
void AppendRegistryLine(ReportPass& pass, const char* label, const char* key_path,
                        const char* value_name);
