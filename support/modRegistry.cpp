#include "support/modRegistry.h"

#include <algorithm>

#include "support/hex_text.h"
#include "support/procedure_error.h"
#include "support/scoped_handle.h"

namespace modRegistry {

namespace {

std::vector<uint8_t> ReadBytes(platform::RegistryKey key, const std::string& value_name,
                               uint32_t size, bool* read) {
  std::vector<uint8_t> data(size, 0);
  uint32_t type = 0;
  uint32_t length = size;
  *read = platform::RegQueryValueExA(key, value_name, &type, data.data(), &length) ==
          platform::kErrorSuccess;
  data.resize(std::min(length, size));
  return data;
}

RegistryValue ReadValue(platform::RegistryKey root, const std::string& key_path,
                        const std::string& value_name) {
  support::ScopedKey key;
  if (platform::RegOpenKeyExA(root, key_path, 0, platform::kKeyQueryValue, key.out()) !=
      platform::kErrorSuccess) {
    return {};
  }
  uint32_t type = 0;
  uint32_t size = 0;
  if (platform::RegQueryValueExA(key.get(), value_name, &type, nullptr, &size) !=
      platform::kErrorSuccess) {
    return {};
  }
  bool read = false;
  switch (type) {
    case platform::kRegSz: {
      if (size == 0) return std::string();
      const std::vector<uint8_t> data = ReadBytes(key.get(), value_name, size, &read);
      if (!read) return {};
      const auto end = std::find(data.begin(), data.end(), uint8_t{0});
      return std::string(data.begin(), end);
    }
    case platform::kRegBinary: {
      if (size == 0) return std::vector<uint8_t>();
      std::vector<uint8_t> data = ReadBytes(key.get(), value_name, size, &read);
      if (!read) return {};
      return data;
    }
    case platform::kRegDword: {
      // A value stored with more than four bytes does not fit the number: nothing is read.
      int32_t number = 0;
      if (size > sizeof number) return {};
      uint32_t length = size;
      if (platform::RegQueryValueExA(key.get(), value_name, &type,
                                     reinterpret_cast<uint8_t*>(&number),
                                     &length) != platform::kErrorSuccess) {
        return {};
      }
      return number;
    }
    default:
      return {};
  }
}

}  // namespace

RegistryValue RegistryGetKeyValue(platform::RegistryKey root, const std::string& key_path,
                                  const std::string& value_name) {
  return runtime::Trapped<RegistryValue>("RegistryGetKeyValue", [&](RegistryValue& result) {
    result = ReadValue(root, key_path, value_name);
  });
}

std::string ValueText(const RegistryValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<int32_t>(&value)) return std::to_string(*number);
  if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) {
    std::string text;
    for (const uint8_t byte : *bytes) {
      if (!text.empty()) text += ' ';
      text += support::HexDigits(byte, 2);
    }
    return text;
  }
  return std::string();
}

}  // namespace modRegistry
