#include "platform/win32/entry_point.h"

namespace win32 {

FARPROC LookUpEntryPoint(const char* dll, const char* name) {
  // System DLLs stay loaded for the life of the process, so the module is never freed.
  HMODULE module = GetModuleHandleA(dll);
  if (module == nullptr) module = LoadLibraryA(dll);
  if (module == nullptr) return nullptr;
  return GetProcAddress(module, name);
}

}  // namespace win32
