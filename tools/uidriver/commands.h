// The driver's commands; each prints to stdout and returns an exit code or raises Failure.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

struct Context {
  HWND main;
  DWORD timeout_ms;
  std::vector<std::string> args;  // the command's own arguments
};

// Adds bytes, unchanged, to what the command answers on stdout (in binary mode, so "\n" stays
// a single LF).
void Print(const std::string& text);

int ParseInt(const std::string& text);

int ListCommand(const Context& ctx);
int TextCommand(const Context& ctx);
// Prints the text of the report box.
int ReportCommand(const Context& ctx);
// Prints how many lines a multi-line edit box shows its text on.
int LinesCommand(const Context& ctx);
int SetTextCommand(const Context& ctx);
int ResizeCommand(const Context& ctx);
int ClickCommand(const Context& ctx);
// Returns once the window has handled everything posted to it before.
int SyncCommand(const Context& ctx);
// Returns once no process of the program named runs.
int NoProcessCommand(const Context& ctx);
int CloseCommand(const Context& ctx);
int WaitGoneCommand(const Context& ctx);
int DpiCommand(const Context& ctx);
int PidCommand(const Context& ctx);
// Prints the colours of a rectangle of a control's client area, one line of RRGGBB per row.
int PixelsCommand(const Context& ctx);

int FocusCommand(const Context& ctx);
int KeyCommand(const Context& ctx);
// Types text into a control, a character message for each character; returns once it is in.
int TypeCommand(const Context& ctx);
// Presses Tab N times, or Shift+Tab with "back", printing the focused id after each.
int TabOrderCommand(const Context& ctx);

int MsgBoxCommand(const Context& ctx);
int AnswerCommand(const Context& ctx);
// Prints which standard icon the message box shows: error, question, warning, information or
// none.
int MsgIconCommand(const Context& ctx);
int NoMsgBoxCommand(const Context& ctx);
int ClipboardCommand(const Context& ctx);
// Prints what a screen reader is told of a control: its accessible name, a tab and its state
// flags in hexadecimal, through the system's accessibility layer (oleacc).
int AccessibleCommand(const Context& ctx);

// Registry commands; they need no window, and answer kNotFound for a key or value that is not
// there. regget prints "KIND<TAB>DATA" as reg.exe lists the value.
int RegKeyCommand(const Context& ctx);
int RegGetCommand(const Context& ctx);
int RegSetCommand(const Context& ctx);
int RegDeleteCommand(const Context& ctx);

}  // namespace uidriver
