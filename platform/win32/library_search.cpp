// Where the system looks for the DLLs the process loads. Sondrel.exe is run from a downloads
// folder, where any file may lie beside it: a DLL there must never be loaded in place of a
// system one, neither by the program nor by the system DLLs on its behalf.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

namespace {

// Only the system folder, for every DLL loaded by name (Windows 8 and later, Vista and 7 with
// the update that adds SetDefaultDllDirectories).
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

// Each is looked up at run time, so that the program still starts where it is missing
// (Windows 95 to 2000, XP before its first service pack), and neither may fail the start.
void LimitLibrarySearch() {
  if (auto* set_default =
          win32::FindEntryPoint<BOOL WINAPI(DWORD)>("kernel32.dll", "SetDefaultDllDirectories")) {
    set_default(kSearchSystem32);
  }
  // The empty folder takes the current folder off the search path (XP SP1 and later).
  if (auto* set_directory =
          win32::FindEntryPoint<BOOL WINAPI(LPCSTR)>("kernel32.dll", "SetDllDirectoryA")) {
    set_directory("");
  }
  // The theme code loads this one by name when the window is first drawn, and Wine looks for
  // it in the program's folder even so, as Windows before the calls above would. Loaded now
  // from the system folder, it is found loaded then.
  win32::LoadSystemLibrary("msimg32.dll");
}

}  // namespace platform
