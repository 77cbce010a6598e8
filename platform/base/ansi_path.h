// Paths in the system's ANSI code page, which may be double-byte: there the second byte of a
// character may be 0x5C, a backslash's, so a path is stepped through by character, never by
// byte. Each backend says which bytes open a two-byte character.
#pragma once

#include <cstdint>
#include <string>

namespace ansi {

// Calls on_separator with the offset of each backslash that is a character of its own, first
// to last. A lead byte at the very end, with nothing after it, stands alone.
template <typename IsLeadByte, typename OnSeparator>
void ForEachSeparator(const std::string& path, IsLeadByte is_lead_byte, OnSeparator on_separator) {
  for (size_t at = 0; at < path.size(); ++at) {
    if (path[at] == '\\') {
      on_separator(at);
    } else if (at + 1 < path.size() && is_lead_byte(static_cast<uint8_t>(path[at]))) {
      ++at;
    }
  }
}

// The offset of the last backslash; npos when the path has none.
template <typename IsLeadByte>
size_t LastSeparator(const std::string& path, IsLeadByte is_lead_byte) {
  size_t last = std::string::npos;
  ForEachSeparator(path, is_lead_byte, [&](size_t at) { last = at; });
  return last;
}

// Whether the last character is a backslash.
template <typename IsLeadByte>
bool EndsWithSeparator(const std::string& path, IsLeadByte is_lead_byte) {
  return !path.empty() && LastSeparator(path, is_lead_byte) == path.size() - 1;
}

}  // namespace ansi
