#include "support/path_separators.h"

#include "platform/base/ansi_path.h"
#include "platform/platform.h"

namespace support {

size_t LastSeparator(const std::string& path) {
  size_t last = std::string::npos;
  ansi::ForEachSeparator(
      path, [](uint8_t byte) { return platform::IsDBCSLeadByte(byte) != 0; },
      [&](size_t at) { last = at; });
  return last;
}

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && LastSeparator(path) == path.size() - 1;
}

}  // namespace support
