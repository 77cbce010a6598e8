// Shell: forwarded to shell32.
#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

uintptr_t FindExecutableA(const std::string& file, const std::string& directory, char* result) {
  static const win32::EntryPoint<HINSTANCE WINAPI(LPCSTR, LPCSTR, LPSTR)> entry("shell32.dll",
                                                                                "FindExecutableA");
  return reinterpret_cast<uintptr_t>(entry(file.c_str(), directory.c_str(), result));
}

}  // namespace platform
