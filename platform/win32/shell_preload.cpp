// Under Wine, loading the shell's library is the slowest part of start-up, and the report
// needs it only for the default browser. A worker thread loads it while the window is made,
// and then asks it once which program opens this program's own file: the shell's first such
// answer costs several milliseconds of one-time set-up, which is thus done off the window's
// thread. The question only reads the registry and the disk.
#include <windows.h>

namespace {

using FindExecutable = HINSTANCE(WINAPI*)(LPCSTR file, LPCSTR directory, LPSTR result);

DWORD WINAPI LoadShell(void*) {
  // The module stays loaded for the process's life; the report's lookup then finds it.
  HMODULE shell = LoadLibraryA("shell32.dll");
  if (shell == nullptr) return 0;
  const auto find = reinterpret_cast<FindExecutable>(
      reinterpret_cast<void*>(GetProcAddress(shell, "FindExecutableA")));
  char own_file[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, own_file, MAX_PATH);
  if (find == nullptr || length == 0 || length >= MAX_PATH) return 0;
  char program[MAX_PATH] = {};
  find(own_file, nullptr, program);
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
