// Commands about keyboard focus and Tab navigation.
#include "commands.h"
#include "target.h"

namespace uidriver {
namespace {

constexpr DWORD kFocusChangeMs = 1000;
constexpr UINT kTabScanCode = 0x0F;
constexpr UINT kShiftScanCode = 0x2A;

// The keys that act on the control they are sent to, by the names the command takes.
struct PlainKey {
  const char* name;
  UINT vk;
  UINT scan_code;
};
constexpr PlainKey kPlainKeys[] = {
    {"enter", VK_RETURN, 0x1C},
    {"space", VK_SPACE, 0x39},
    {"escape", VK_ESCAPE, 0x01},
};

DWORD ThreadOf(HWND hwnd) { return GetWindowThreadProcessId(hwnd, nullptr); }

HWND FocusedWindow(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(ThreadOf(main), &info)) return nullptr;
  return info.hwndFocus;
}

// -1 when nothing inside the main window has focus (for instance a message box has it).
int FocusedId(HWND main) {
  HWND focus = FocusedWindow(main);
  if (focus == main) return 0;
  return focus && IsChild(main, focus) ? GetDlgCtrlID(focus) : -1;
}

LPARAM KeyParam(UINT scan_code, bool key_up) {
  LPARAM param = 1 | (static_cast<LPARAM>(scan_code) << 16);
  if (key_up) param |= 0xC0000000;  // previous state down, transition to up
  return param;
}

void PostKey(HWND target, UINT vk, UINT scan_code, bool key_up) {
  PostMessageA(target, key_up ? WM_KEYUP : WM_KEYDOWN, vk, KeyParam(scan_code, key_up));
}

// Shares this thread's input state (key state, focus) with another thread while alive.
class ThreadInputLink {
 public:
  explicit ThreadInputLink(DWORD other_thread)
      : self_(GetCurrentThreadId()),
        other_(other_thread),
        attached_(AttachThreadInput(self_, other_, TRUE) != FALSE) {}
  ~ThreadInputLink() {
    if (attached_) AttachThreadInput(self_, other_, FALSE);
  }
  ThreadInputLink(const ThreadInputLink&) = delete;
  ThreadInputLink& operator=(const ThreadInputLink&) = delete;
  bool attached() const { return attached_; }

 private:
  DWORD self_;
  DWORD other_;
  bool attached_;
};

// Marks Shift as held in the target thread's key state, so GetKeyState(VK_SHIFT) there (as used
// by IsDialogMessage) sees it; posted key messages alone do not update that state.
class HeldShift {
 public:
  explicit HeldShift(DWORD thread) : link_(thread) { SetShift(true); }
  ~HeldShift() { SetShift(false); }
  HeldShift(const HeldShift&) = delete;
  HeldShift& operator=(const HeldShift&) = delete;

 private:
  void SetShift(bool down) {
    if (!link_.attached()) return;
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  ThreadInputLink link_;
};

// Shift+Tab is sent both ways: Shift key messages around the Tab for code that tracks
// WM_KEYDOWN, and Shift held in the shared key state for code that asks GetKeyState.
// Returns once the target has moved focus away from `target`, or after a second.
void SendTab(HWND main, HWND target, bool shift) {
  auto moved = [&] { return FocusedWindow(main) != target; };
  if (!shift) {
    PostKey(target, VK_TAB, kTabScanCode, false);
    PostKey(target, VK_TAB, kTabScanCode, true);
    WaitUntil(kFocusChangeMs, moved);
    return;
  }
  HeldShift held(ThreadOf(main));
  PostKey(target, VK_SHIFT, kShiftScanCode, false);
  PostKey(target, VK_TAB, kTabScanCode, false);
  PostKey(target, VK_TAB, kTabScanCode, true);
  PostKey(target, VK_SHIFT, kShiftScanCode, true);
  // Shift must stay held until the Tab has been handled.
  WaitUntil(kFocusChangeMs, moved);
}

}  // namespace

int FocusCommand(const Context& ctx) {
  if (!ctx.args.empty()) throw Failure{kFailed, "usage: focus"};
  WaitForPostedMessages(ReportBox(ctx.main), ctx.timeout_ms);  // earlier keys and clicks first
  Print(std::to_string(FocusedId(ctx.main)) + "\n");
  return kOk;
}

int KeyCommand(const Context& ctx) {
  constexpr char kUsage[] = "usage: key ID tab|shifttab|enter|space|escape";
  if (ctx.args.size() != 2) throw Failure{kFailed, kUsage};
  HWND target = ControlById(ctx.main, ParseInt(ctx.args[0]));
  const std::string& key = ctx.args[1];
  if (key == "tab" || key == "shifttab") {
    SendTab(ctx.main, target, key == "shifttab");
    return kOk;
  }
  for (const PlainKey& plain : kPlainKeys) {
    if (key != plain.name) continue;
    PostKey(target, plain.vk, plain.scan_code, false);
    PostKey(target, plain.vk, plain.scan_code, true);
    return kOk;
  }
  throw Failure{kFailed, kUsage};
}

int TypeCommand(const Context& ctx) {
  if (ctx.args.size() != 2) throw Failure{kFailed, "usage: type ID TEXT"};
  HWND target = ControlById(ctx.main, ParseInt(ctx.args[0]));
  // Sent, not posted: the text is in the control when the command returns.
  for (const char c : ctx.args[1]) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, WM_CHAR, static_cast<BYTE>(c), 1, SMTO_ABORTIFHUNG,
                             ctx.timeout_ms, &result)) {
      throw Failure{kTimedOut, "the control takes no characters"};
    }
  }
  return kOk;
}

int TabOrderCommand(const Context& ctx) {
  const bool back = ctx.args.size() == 2 && ctx.args[1] == "back";
  if (ctx.args.size() != 1 && !back) throw Failure{kFailed, "usage: tab-order N [back]"};
  const int steps = ParseInt(ctx.args[0]);
  WaitForPostedMessages(ReportBox(ctx.main), ctx.timeout_ms);
  std::string out;
  for (int i = 0; i < steps; ++i) {
    HWND focus = FocusedWindow(ctx.main);
    SendTab(ctx.main, focus ? focus : ctx.main, back);
    out += std::to_string(FocusedId(ctx.main)) + "\n";
  }
  Print(out);
  return kOk;
}

}  // namespace uidriver
