#include "report_window/report_steps.h"
#include "support/modAPIFilesAndPaths.h"
#include "support/plain_file.h"
#include "support/procedure_error.h"

namespace {

constexpr int kMicrosoft = 0;
constexpr int kSun = 1;
constexpr int kMissingPicture = 0;
constexpr int kInstalledPicture = 1;
constexpr char kNotInstalled[] = "Non installata";

// The picture box also carries the state as its window text, which is never drawn but is the
// name that screen readers and UI automation give the box.
void ShowPanelPicture(frmMain& form, int panel, int picture) {
  form.Pict[panel].Picture(form.resPict[picture].Picture());
  form.Pict[panel].Text(picture == kInstalledPicture ? "Installata" : kNotInstalled);
}

void AppendJavaWebStart(ReportPass& pass) {
  using runtime::GuardedStep;
  frmMain& form = pass.form;
  GuardedStep([&] { pass.Append(std::string(kCrLf) + "Java Web Start (Sun) = "); });
  GuardedStep([&] { ProbeRegistry(pass, "Software\\JavaSoft\\Java Web Start", "CurrentVersion"); });
  const auto installed = [&] { return !pass.probe.empty(); };
  GuardedStep([&] { pass.Append(installed() ? pass.probe : kNotInstalled); });
  GuardedStep(
      [&] { ShowPanelPicture(form, kSun, installed() ? kInstalledPicture : kMissingPicture); });
  GuardedStep([&] { form.btnDownload[kSun].Enabled(!installed()); });
  GuardedStep(
      [&] { form.lblVersion[kSun].Text(installed() ? "Versione " + pass.probe : kNotInstalled); });
}

void AppendMicrosoftVm(ReportPass& pass) {
  using runtime::GuardedStep;
  frmMain& form = pass.form;
  GuardedStep([&] {
    pass.probe_path = support::PathInFolder(pass.Info().SystemDirectory(), "msjava.dll");
  });
  GuardedStep([&] { pass.Append(std::string(kCrLf) + "JVM Microsoft = "); });
  GuardedStep([&] {
    if (runtime::TestOrMet([&] { return support::IsPlainFile(pass.probe_path); })) {
      GuardedStep([&] { pass.Append(modAPIFilesAndPaths::GetFileVersion(pass.probe_path)); });
      GuardedStep([&] { ShowPanelPicture(form, kMicrosoft, kInstalledPicture); });
      GuardedStep([&] { form.btnDownload[kMicrosoft].Enabled(false); });
      GuardedStep([&] {
        form.lblVersion[kMicrosoft].Text("Versione " +
                                         modAPIFilesAndPaths::GetFileVersion(pass.probe_path));
      });
    } else {
      GuardedStep([&] { pass.Append(kNotInstalled); });
      GuardedStep([&] { ShowPanelPicture(form, kMicrosoft, kMissingPicture); });
      GuardedStep([&] { form.btnDownload[kMicrosoft].Enabled(true); });
      GuardedStep([&] { form.lblVersion[kMicrosoft].Text(kNotInstalled); });
    }
  });
  GuardedStep([&] { pass.Append(kCrLf); });
}

}  // namespace

void AppendJavaSection(ReportPass& pass) {
  AppendJavaWebStart(pass);
  AppendMicrosoftVm(pass);
}
