// Whether a path names a plain file: one that exists and is not a folder, hidden or system.
#pragma once

#include <string>

namespace support {

bool IsPlainFile(const std::string& path);

// The folder and a name below it, with one backslash between them also at a drive root.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace support
