// Locating the Sondrel window, its controls and its message boxes from another process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uidriver {

enum ExitCode { kOk = 0, kFailed = 1, kTimedOut = 2, kNoClipboardText = 3, kNotFound = 4 };

// Raised for anything that ends the command; main() turns it into stderr text and an exit code.
struct Failure {
  int code;
  std::string message;
};

// Polls `done` every few milliseconds until it returns true or `timeout_ms` elapses.
bool WaitUntil(DWORD timeout_ms, const std::function<bool()>& done);

std::string ClassName(HWND hwnd);
// Whether the window's class is `name`, compared as Windows compares class names.
bool IsClass(HWND hwnd, const char* name);
// Full text via WM_GETTEXT, sent with a timeout so a hung target cannot hang the driver.
std::string WindowText(HWND hwnd);
// Makes text safe for one tab-separated line.
std::string Escape(const std::string& text);
bool HasStyle(HWND hwnd, LONG style_bits);

// The visible top-level window titled " Sondrel", or null.
HWND FindMainWindow();
HWND WaitForMainWindow(DWORD timeout_ms);

// Every descendant of `root`, in EnumChildWindows order.
std::vector<HWND> Descendants(HWND root);
// 0 for the main window itself, otherwise the control ID.
int ControlId(HWND main, HWND hwnd);
// The control with the given id (0 = main window); raises Failure if absent.
HWND ControlById(HWND main, int id);

// The report box: the window's one multi-line text box, whatever number it has; raises Failure
// if there is none.
HWND ReportBox(HWND main);
// Returns once the thread of `box`'s window has handled every message posted to it before, the
// clicks and keys of earlier commands with them; raises Failure when it does not in time.
void WaitForPostedMessages(HWND box, DWORD timeout_ms);

// A visible dialog-class top-level window owned by the same process as `main`, or null.
HWND FindMessageBox(HWND main);
HWND WaitForMessageBox(HWND main, DWORD timeout_ms);

}  // namespace uidriver
