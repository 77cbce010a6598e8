#include "platform/win32/entry_point.h"

#include <string>

namespace win32 {

namespace {

// The system folder with a trailing backslash, or "" when the system does not say.
const std::string& SystemFolder() {
  static const std::string folder = [] {
    char buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length) + "\\";
  }();
  return folder;
}

}  // namespace

HMODULE LoadSystemLibrary(const char* dll) {
  // By full path: a bare name would look in the program's own folder first, where anyone could
  // have left a DLL of that name. The altered search path makes the DLL's own imports come from
  // its folder, the system folder, too, on every Windows since 95 and NT 3.1. System DLLs stay
  // loaded for the life of the process, so the module is never freed.
  if (SystemFolder().empty()) return nullptr;
  const std::string path = SystemFolder() + dll;
  HMODULE module = GetModuleHandleA(path.c_str());
  if (module == nullptr) {
    module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  return module;
}

FARPROC LookUpEntryPoint(const char* dll, const char* name) {
  HMODULE module = LoadSystemLibrary(dll);
  return module == nullptr ? nullptr : GetProcAddress(module, name);
}

}  // namespace win32
