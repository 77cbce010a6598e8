#include "support/path_separators.h"

#include "platform/base/ansi_path.h"
#include "platform/platform.h"

namespace support {

size_t LastSeparator(const std::string& path) {
  const std::vector<size_t> separators =
      ansi::SeparatorsOf(path, [](uint8_t byte) { return platform::IsDBCSLeadByte(byte) != 0; });
  return separators.empty() ? std::string::npos : separators.back();
}

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && LastSeparator(path) == path.size() - 1;
}

}  // namespace support
