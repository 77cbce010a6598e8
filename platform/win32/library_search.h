// The system DLLs loaded ahead, by full path, where the DLL search cannot be kept to the system
// folder. The Windows tests check that each of them that the system has comes from there.
#pragma once

#include <array>

namespace win32 {

extern const std::array<const char*, 16> kPreloadedLibraries;

}  // namespace win32
