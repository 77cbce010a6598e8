// Under Wine, loading the shell's library is the slowest part of start-up, and the report
// needs it only for the default browser. A worker thread loads it while the window is made.
#include <windows.h>

namespace {

DWORD WINAPI LoadShell(void*) {
  // The module stays loaded for the process's life; the report's lookup then finds it.
  LoadLibraryA("shell32.dll");
  return 0;
}

struct ShellPreload {
  ShellPreload() {
    HANDLE worker = CreateThread(nullptr, 0, LoadShell, nullptr, 0, nullptr);
    if (worker != nullptr) CloseHandle(worker);
  }
};

const ShellPreload preload;

}  // namespace
