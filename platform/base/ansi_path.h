// Paths in the system's ANSI code page, which may be double-byte: there the second byte of a
// character may be 0x5C, a backslash's, so a path is stepped through by character, never by
// byte. Each backend says which bytes open a two-byte character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ansi {

// The offsets of the backslashes that are characters of their own, first to last. A lead byte
// at the very end, with nothing after it, stands alone.
template <typename IsLeadByte>
std::vector<size_t> SeparatorsOf(const std::string& path, IsLeadByte is_lead_byte) {
  std::vector<size_t> separators;
  for (size_t at = 0; at < path.size(); ++at) {
    if (path[at] == '\\') {
      separators.push_back(at);
    } else if (at + 1 < path.size() && is_lead_byte(static_cast<uint8_t>(path[at]))) {
      ++at;
    }
  }
  return separators;
}

}  // namespace ansi
