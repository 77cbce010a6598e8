// File versions from version resources, and paths turned into their stored long form.
#pragma once

#include <string>

namespace modAPIFilesAndPaths {

// "major.minor.build.revision" of the file's fixed version information, each an unsigned
// 16-bit number; empty when the file has none, cannot be read, or the resource is damaged.
std::string GetFileVersion(const std::string& path);

// The path with each component as the file system stores it, looked up from the last
// component back; a leading part that cannot be searched (a drive, a UNC share) stays as
// given. Empty when the path names nothing.
std::string GetLongFileName(const std::string& path);

}  // namespace modAPIFilesAndPaths
