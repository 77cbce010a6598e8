// The system DLLs loaded ahead, by full path, where the DLL search cannot be kept to the system
// folder. The Windows tests check that each of them that the system has comes from there.
#pragma once

#include <array>

namespace win32 {

// Loaded by full path before any window, COM or shell call, so that a later load by bare name,
// in the program or in system code, finds the DLL loaded; without the search kept to the system
// folder, such a load looks in the program's folder first. A DLL that this Windows lacks is
// skipped: most of them are newer than Windows 2000. Installers that face the same threat
// preload such lists; each entry says where system code loads it on this program's way, as
// their authors traced it. The compiler counts the names, so that no entry is left null.
inline constexpr std::array kPreloadedLibraries{
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

}  // namespace win32
