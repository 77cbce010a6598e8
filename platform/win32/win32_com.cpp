// COM on the program's thread: forwarded to ole32. A file of its own, so that the program,
// which needs only these two, links nothing else of the identity operations.
#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

int32_t CoInitialize() {
  static const win32::EntryPoint<HRESULT WINAPI(LPVOID)> entry("ole32.dll", "CoInitialize");
  return entry(nullptr);
}

void CoUninitialize() {
  static const win32::EntryPoint<void WINAPI()> entry("ole32.dll", "CoUninitialize");
  entry();
}

}  // namespace platform
