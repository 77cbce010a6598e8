// Reads one named value of a registry key, never writing.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/platform.h"

namespace modRegistry {

// Empty (nothing read), text, a 32-bit signed number, or bytes.
using RegistryValue = std::variant<std::monostate, std::string, int32_t, std::vector<uint8_t>>;

// REG_SZ gives its text up to the first NUL, REG_DWORD its number, REG_BINARY its bytes; a
// missing key or value, a failed read and any other type give the empty value silently.
RegistryValue RegistryGetKeyValue(platform::RegistryKey root, const std::string& key_path,
                                  const std::string& value_name);

// The value as report text: empty, the text itself, decimal digits, or the bytes in
// upper-case hexadecimal separated by spaces ("01 A2 FF").
std::string ValueText(const RegistryValue& value);

}  // namespace modRegistry
