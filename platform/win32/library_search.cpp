// Where the system looks for the DLLs the process loads. Sondrel.exe is run from a downloads
// folder, where any file may lie beside it: a DLL there must never be loaded in place of a
// system one, neither by the program nor by the system DLLs on its behalf.
#include "platform/win32/library_search.h"

#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace win32 {

namespace {

// Only the system folder, for every DLL loaded by name (Windows 8 and later, Vista and 7 with
// the update that adds SetDefaultDllDirectories).
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// No message box for a DLL that is missing or cannot be loaded; the mode before is restored.
class QuietLoadErrors {
 public:
  QuietLoadErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
  ~QuietLoadErrors() { SetErrorMode(previous_); }
  QuietLoadErrors(const QuietLoadErrors&) = delete;
  QuietLoadErrors& operator=(const QuietLoadErrors&) = delete;

 private:
  UINT previous_;
};

// In-process COM objects, the shell's among them, stop working on Vista and Server 2008 (both
// version 6.0) once the search is kept to the system folder, so there it is left as it is, as
// installers do. GetVersionExA reports the version a compatibility layer gives: under an XP
// layer there, with the update that adds SetDefaultDllDirectories (KB2533623), it is called
// after all. Wine cannot show this.
bool RunsOnVista() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
         version.dwMajorVersion == 6 && version.dwMinorVersion == 0;
}

// Keeps the search for every DLL loaded by name to the system folder, where this Windows can;
// looked up at run time, since Windows before Vista and 7 with the update lack it.
bool KeepSearchToSystemFolder() {
  if (RunsOnVista()) return false;
  auto* set_default =
      FindEntryPoint<BOOL WINAPI(DWORD)>("kernel32.dll", "SetDefaultDllDirectories");
  return set_default != nullptr && set_default(kSearchSystem32);
}

}  // namespace

}  // namespace win32

namespace platform {

void LimitLibrarySearch() {
  const bool kept_to_system_folder = win32::KeepSearchToSystemFolder();
  // The empty folder takes the current folder off the search path (XP SP1 and later).
  if (auto* set_directory =
          win32::FindEntryPoint<BOOL WINAPI(LPCSTR)>("kernel32.dll", "SetDllDirectoryA")) {
    set_directory("");
  }
  const win32::QuietLoadErrors quiet;
  if (kept_to_system_folder) {
    // Wine looks for this one in the program's folder even so, when the theme code loads it.
    win32::LoadSystemLibrary("msimg32.dll");
    return;
  }
  for (const char* dll : win32::kPreloadedLibraries) win32::LoadSystemLibrary(dll);
}

}  // namespace platform
