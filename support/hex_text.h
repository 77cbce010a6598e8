// Upper-case hexadecimal digits of a number, padded with zeros to a fixed width.
#pragma once

#include <cstdint>
#include <string>

namespace support {

inline std::string HexDigits(uint32_t value, int width) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(static_cast<size_t>(width), '0');
  for (int i = width - 1; i >= 0; --i, value >>= 4)
    text[static_cast<size_t>(i)] = kDigits[value & 0xF];
  return text;
}

}  // namespace support
