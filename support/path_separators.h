// The backslashes of a path in the system's ANSI code page, found by stepping through it by
// character, so that the second byte of a double-byte character is never taken for one.
#pragma once

#include <string>

namespace support {

// The offset of the last backslash; npos when the path has none.
size_t LastSeparator(const std::string& path);

// Whether the last character is a backslash.
bool EndsWithSeparator(const std::string& path);

}  // namespace support
