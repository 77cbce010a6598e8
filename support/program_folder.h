// The folder that holds the program's executable.
#pragma once

#include <string>

namespace support {

// Without a trailing backslash, except at a drive root ("C:\").
std::string ProgramFolder();

}  // namespace support
