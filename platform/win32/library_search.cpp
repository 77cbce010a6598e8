// Where the system looks for the DLLs the process loads. Sondrel.exe is run from a downloads
// folder, where any file may lie beside it: a DLL there must never be loaded in place of a
// system one, neither by the program nor by the system DLLs on its behalf.
#include "platform/win32/library_search.h"

#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace win32 {

// Loaded by full path before any window, COM or shell call, so that a later load by bare name,
// in the program or in system code, finds the DLL loaded; without the search kept to the system
// folder, such a load looks in the program's folder first. A DLL that this Windows lacks is
// skipped: most of them are newer than Windows 2000. Installers that face the same threat
// preload such lists; each entry says where system code loads it on this program's way, as
// their authors traced it.
const std::array<const char*, 16> kPreloadedLibraries = {
    // The program's own, otherwise loaded at their first use, by when system code may have
    // looked for them by name (version.dll: ole32 reaches it through crypt32 on Windows 7).
    "advapi32.dll",
    "shell32.dll",
    "ole32.dll",
    "version.dll",
    // The theme code's, when the window is first drawn (seen under Wine).
    "msimg32.dll",
    // Making the first window loads the theme library (XP and later; COM's start makes a window
    // too), and the theme library the window manager's (Windows 7 without the update).
    "uxtheme.dll",
    "dwmapi.dll",
    // CoCreateGuid: the UUID's random numbers come from here (Windows 7 without the update).
    "cryptbase.dll",
    // The shell's way from a path or an address to its handler, which FindExecutableA and
    // ShellExecuteA take: the user's profile folders (Vista), the drives' mount points (XP),
    // the compatibility check of shell objects and their property bags (Vista), and the ACL
    // provider behind the security entries it sets (Windows 7 without the update).
    "userenv.dll",
    "profapi.dll",
    "setupapi.dll",
    "apphelp.dll",
    "propsys.dll",
    "ntmarta.dll",
    // The COM+ catalogue, where COM looks up the shell's in-process objects (XP SP2 and SP3),
    // and the resources it loads.
    "clbcatq.dll",
    "comres.dll",
};

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

// In-process COM objects, the shell's among them, stop working on Vista once the search is
// kept to the system folder, so there it is left as it is, as installers do.
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
