#include "support/path_separators.h"

#include "platform/base/ansi_path.h"
#include "platform/platform.h"

namespace support {

namespace {

bool IsLeadByte(uint8_t byte) { return platform::IsDBCSLeadByte(byte) != 0; }

}  // namespace

size_t LastSeparator(const std::string& path) { return ansi::LastSeparator(path, IsLeadByte); }

bool EndsWithSeparator(const std::string& path) {
  return ansi::EndsWithSeparator(path, IsLeadByte);
}

}  // namespace support
