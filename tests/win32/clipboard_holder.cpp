// Another program holding the clipboard: opens it for a window of its own, sets the named
// event of its first argument, and keeps it open until the named event of its second argument
// is set, at most the milliseconds of its third. A window it must be: Wine lets a second
// opener without a window in while the holder has none either.
#include <windows.h>

#include <cstdlib>

#include "win32_handles.h"

namespace {

class MessageWindow {
 public:
  MessageWindow()
      : window_(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr)) {}
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  ~MessageWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

class HeldClipboard {
 public:
  explicit HeldClipboard(HWND owner) : held_(owner != nullptr && OpenClipboard(owner) != FALSE) {}
  HeldClipboard(const HeldClipboard&) = delete;
  HeldClipboard& operator=(const HeldClipboard&) = delete;
  ~HeldClipboard() {
    if (held_) CloseClipboard();
  }
  bool held() const { return held_; }

 private:
  bool held_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const win32_test::UniqueHandle opened(OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]));
  const win32_test::UniqueHandle release(OpenEventA(SYNCHRONIZE, FALSE, argv[2]));
  if (!opened.valid() || !release.valid()) return 3;
  const MessageWindow window;
  const HeldClipboard clipboard(window.get());
  if (!clipboard.held()) return 4;
  SetEvent(opened.get());
  const DWORD limit = std::strtoul(argv[3], nullptr, 10);
  return WaitForSingleObject(release.get(), limit) == WAIT_OBJECT_0 ? 0 : 5;
}
