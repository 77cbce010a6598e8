// Another program holding the clipboard: opens it for a window of its own, sets the named
// event of its first argument, and keeps it open until the named event of its second argument
// is set, at most the milliseconds of its third. A window it must be: Wine lets a second
// opener without a window in while the holder has none either.
#include <windows.h>

#include <cstdlib>

#include "platform/win32/scoped_win.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const win32::AutoCloseHandle opened(OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]));
  const win32::AutoCloseHandle release(OpenEventA(SYNCHRONIZE, FALSE, argv[2]));
  if (!opened.valid() || !release.valid()) return 3;
  const win32::ScopedWindow window(
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  if (!window.valid()) return 4;
  const win32::ScopedClipboard clipboard(window.get());
  if (!clipboard.open()) return 4;
  SetEvent(opened.get());
  const DWORD limit = std::strtoul(argv[3], nullptr, 10);
  return WaitForSingleObject(release.get(), limit) == WAIT_OBJECT_0 ? 0 : 5;
}
