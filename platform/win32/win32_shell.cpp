// Shell and the processes it starts: forwarded to shell32 and kernel32.
#include <windows.h>

#include <shellapi.h>

#include <cstddef>

#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

uintptr_t FindExecutableA(const std::string& file, const std::string& directory, char* result) {
  static const win32::EntryPoint<HINSTANCE WINAPI(LPCSTR, LPCSTR, LPSTR)> entry("shell32.dll",
                                                                                "FindExecutableA");
  return reinterpret_cast<uintptr_t>(entry(file.c_str(), directory.c_str(), result));
}

intptr_t ShellExecuteA(WindowHandle owner, const char* verb, const std::string& file,
                       const char* parameters, const char* directory, int32_t show) {
  static const win32::EntryPoint<HINSTANCE WINAPI(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)> entry(
      "shell32.dll", "ShellExecuteA");
  return reinterpret_cast<intptr_t>(
      entry(reinterpret_cast<HWND>(owner), verb, file.c_str(), parameters, directory, show));
}

int32_t ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  static const win32::EntryPoint<BOOL WINAPI(::SHELLEXECUTEINFOA*)> entry("shell32.dll",
                                                                          "ShellExecuteExA");
  static_assert(sizeof(::SHELLEXECUTEINFOA) == sizeof(SHELLEXECUTEINFOA));
  static_assert(offsetof(::SHELLEXECUTEINFOA, hProcess) == offsetof(SHELLEXECUTEINFOA, hProcess));
  return entry(reinterpret_cast<::SHELLEXECUTEINFOA*>(info));
}

int32_t GetExitCodeProcess(ProcessHandle process, uint32_t* exit_code) {
  static const win32::EntryPoint<decltype(::GetExitCodeProcess)> entry("kernel32.dll",
                                                                       "GetExitCodeProcess");
  DWORD code = 0;
  const BOOL done = entry(reinterpret_cast<HANDLE>(process), &code);
  *exit_code = code;
  return done;
}

}  // namespace platform
