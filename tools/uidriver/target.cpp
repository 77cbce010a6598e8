#include "target.h"

#include <cstring>

namespace uidriver {
namespace {

constexpr char kMainCaption[] = " Sondrel";
constexpr char kDialogClass[] = "#32770";
constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 25;

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

LRESULT SendWithTimeout(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs,
                           &result)) {
    throw Failure{kFailed, "window does not answer messages"};
  }
  return static_cast<LRESULT>(result);
}

struct MainSearch {
  HWND best = nullptr;
  HWND fallback = nullptr;
};

BOOL CALLBACK CollectMainCandidate(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<MainSearch*>(lparam);
  char title[sizeof(kMainCaption) + 1] = {};
  GetWindowTextA(hwnd, title, sizeof(title));
  if (std::strcmp(title, kMainCaption) != 0 || !HasStyle(hwnd, WS_VISIBLE)) return TRUE;
  // A message box may reuse the application name as its title; prefer the unowned frame.
  if (!GetWindow(hwnd, GW_OWNER) && ClassName(hwnd) != kDialogClass) {
    search->best = hwnd;
    return FALSE;
  }
  if (!search->fallback) search->fallback = hwnd;
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lparam) {
  reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(hwnd);
  return TRUE;
}

struct BoxSearch {
  HWND main;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK CollectMessageBox(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<BoxSearch*>(lparam);
  if (hwnd == search->main || !HasStyle(hwnd, WS_VISIBLE)) return TRUE;
  if (ProcessOf(hwnd) != search->pid || ClassName(hwnd) != kDialogClass) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

bool WaitUntil(DWORD timeout_ms, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(kPollMs);
  }
}

std::string ClassName(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  return name;
}

bool IsClass(HWND hwnd, const char* name) { return lstrcmpiA(ClassName(hwnd).c_str(), name) == 0; }

std::string WindowText(HWND hwnd) {
  const LRESULT length = SendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      SendWithTimeout(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  // The length message may overestimate (ANSI/Unicode conversion), so trust the copy count.
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool HasStyle(HWND hwnd, LONG style_bits) {
  return (GetWindowLongA(hwnd, GWL_STYLE) & style_bits) == style_bits;
}

HWND FindMainWindow() {
  MainSearch search;
  EnumWindows(CollectMainCandidate, reinterpret_cast<LPARAM>(&search));
  return search.best ? search.best : search.fallback;
}

HWND WaitForMainWindow(DWORD timeout_ms) {
  HWND found = nullptr;
  if (!WaitUntil(timeout_ms, [&] { return (found = FindMainWindow()) != nullptr; })) {
    throw Failure{kTimedOut, "no visible window titled \" Sondrel\""};
  }
  return found;
}

std::vector<HWND> Descendants(HWND root) {
  std::vector<HWND> all;
  EnumChildWindows(root, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

int ControlId(HWND main, HWND hwnd) { return hwnd == main ? 0 : GetDlgCtrlID(hwnd); }

HWND ControlById(HWND main, int id) {
  if (id == 0) return main;
  for (HWND child : Descendants(main)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  throw Failure{kFailed, "no control with id " + std::to_string(id)};
}

HWND FindMessageBox(HWND main) {
  BoxSearch search{main, ProcessOf(main), nullptr};
  EnumWindows(CollectMessageBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForMessageBox(HWND main, DWORD timeout_ms) {
  HWND box = nullptr;
  if (!WaitUntil(timeout_ms, [&] { return (box = FindMessageBox(main)) != nullptr; })) {
    throw Failure{kTimedOut, "no message box appeared"};
  }
  return box;
}

}  // namespace uidriver
