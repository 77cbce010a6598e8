// Text without its leading and trailing spaces. Only spaces: tabs and line breaks stay, so a
// report's final CR LF survives the trim.
#pragma once

#include <string>

namespace support {

inline std::string TrimSpaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace support
