#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace sim {

namespace {

constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorAccessDenied = 5;
constexpr int32_t kErrorInvalidHandle = 6;
constexpr int32_t kErrorReadFault = 30;
constexpr int32_t kErrorMoreData = 234;

// A key handle names a root and a path; predefined roots have an empty path.
bool KeyPath(platform::RegistryKey key, platform::RegistryKey* root, std::string* path) {
  const Machine& m = machine();
  if (key == platform::kHkeyCurrentUser || key == platform::kHkeyLocalMachine) {
    *root = key;
    path->clear();
    return true;
  }
  const auto open = m.open_keys.find(key);
  if (open == m.open_keys.end()) return false;
  const size_t separator = open->second.find('|');
  *root = static_cast<platform::RegistryKey>(std::stoul(open->second.substr(0, separator)));
  *path = open->second.substr(separator + 1);
  return true;
}

// A key exists where values are stored in it or in a key below it.
const RegistryKey* FindKey(platform::RegistryKey root, const std::string& path) {
  static const RegistryKey kNoValues;
  const auto keys = machine().registry.find(root);
  if (keys == machine().registry.end()) return nullptr;
  const auto key = keys->second.find(path);
  if (key != keys->second.end()) return &key->second;
  const std::string above = path + "\\";
  const bool holds_keys = std::any_of(keys->second.begin(), keys->second.end(), [&](auto& stored) {
    return stored.first.size() > above.size() &&
           SameName(stored.first.substr(0, above.size()), above);
  });
  return holds_keys ? &kNoValues : nullptr;
}

bool IsText(uint32_t type) {
  return type == platform::kRegSz || type == platform::kRegExpandSz ||
         type == platform::kRegMultiSz;
}

std::string JoinKeyPath(const std::string& parent, const std::string& child) {
  if (parent.empty()) return child;
  if (child.empty()) return parent;
  return parent + "\\" + child;
}

// What a user without administrator rights may ask for on a key under HKEY_LOCAL_MACHINE:
// KEY_READ, or MAXIMUM_ALLOWED, which gives whatever is granted; the KEY_WOW64 flags choose a
// view, not a right (Microsoft's "Registry Key Security and Access Rights"). Where the family
// leaves the start-up keys open to everyone, KEY_SET_VALUE and KEY_CREATE_SUB_KEY there too.
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kMaximumAllowed = 0x02000000;
constexpr uint32_t kKeyWow64Views = 0x300;

constexpr uint32_t kKeySetValue = 0x2;
constexpr uint32_t kKeyCreateSubKey = 0x4;

bool IsStartUpKey(const std::string& path) {
  static const char* const kStartUpKeys[] = {
      "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
      "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
  };
  return std::any_of(std::begin(kStartUpKeys), std::end(kStartUpKeys),
                     [&](const char* key) { return SameName(path, key); });
}

bool Granted(platform::RegistryKey root, const std::string& path, uint32_t access) {
  const Machine& m = machine();
  if (root != platform::kHkeyLocalMachine || m.administrator || !Answers().user_rights_checked) {
    return true;
  }
  uint32_t granted = kKeyRead | kMaximumAllowed | kKeyWow64Views;
  if (Answers().start_up_keys_open_to_everyone && IsStartUpKey(path)) {
    granted |= kKeySetValue | kKeyCreateSubKey;
  }
  return (access & ~granted) == 0;
}

// The data as the machine's family hands a value back.
std::vector<uint8_t> DataHandedBack(const RegistryValue& value) {
  std::vector<uint8_t> data = value.data;
  if (value.type == platform::kRegSz && Answers().text_values_cut_after_first_nul) {
    data.erase(std::find(data.begin(), data.end(), 0), data.end());
    data.push_back(0);
  }
  return data;
}

int32_t QueryValue(platform::RegistryKey key, const std::string& value_name, uint32_t* type,
                   uint8_t* data, uint32_t* size) {
  platform::RegistryKey root = 0;
  std::string path;
  if (!KeyPath(key, &root, &path)) return kErrorInvalidHandle;
  const RegistryKey* found = FindKey(root, path);
  if (found == nullptr) return kErrorFileNotFound;
  const auto value = found->values.find(value_name.c_str());
  if (value == found->values.end()) {
    if (Answers().missing_value_clears_type) *type = 0;
    if (Answers().missing_value_clears_size && data == nullptr) *size = 0;
    return kErrorFileNotFound;
  }
  const std::vector<uint8_t> stored = DataHandedBack(value->second);
  *type = value->second.type;
  if (data == nullptr) {
    *size = static_cast<uint32_t>(stored.size());
    return platform::kErrorSuccess;
  }
  if (value->second.read_fails) return kErrorReadFault;
  if (*size < stored.size()) {
    *size = static_cast<uint32_t>(stored.size());
    return kErrorMoreData;
  }
  std::copy(stored.begin(), stored.end(), data);
  // A text stored without its NUL gets one where the buffer has room, not counted in the size
  // (Wine's conformance tests, registry.c test_string_termination).
  if (IsText(value->second.type) && !stored.empty() && stored.back() != 0 &&
      *size > stored.size()) {
    data[stored.size()] = 0;
  }
  *size = static_cast<uint32_t>(stored.size());
  return platform::kErrorSuccess;
}

}  // namespace

void SetValue(platform::RegistryKey root, const std::string& key_path, const std::string& name,
              RegistryValue value) {
  machine().registry[root][key_path].values[name] = std::move(value);
}

void SetString(platform::RegistryKey root, const std::string& key_path, const std::string& name,
               const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  SetValue(root, key_path, name, {platform::kRegSz, data});
}

void SetDword(platform::RegistryKey root, const std::string& key_path, const std::string& name,
              uint32_t number) {
  std::vector<uint8_t> data(sizeof number);
  std::memcpy(data.data(), &number, sizeof number);
  SetValue(root, key_path, name, {platform::kRegDword, data});
}

}  // namespace sim

namespace platform {

int32_t RegOpenKeyExA(RegistryKey root, const std::string& sub_key, uint32_t, uint32_t access,
                      RegistryKey* result) {
  sim::Enter("RegOpenKeyExA");
  RegistryKey root_key = 0;
  std::string parent;
  if (!sim::KeyPath(root, &root_key, &parent)) return sim::kErrorInvalidHandle;
  const std::string path = sim::JoinKeyPath(parent, sub_key.c_str());
  if (sim::FindKey(root_key, path) == nullptr) return sim::kErrorFileNotFound;
  if (!sim::Granted(root_key, path, access)) return sim::kErrorAccessDenied;
  sim::Machine& m = sim::machine();
  const std::string opened = std::to_string(root_key) + "|" + path;
  if (sim::Answers().reopened_key_is_the_same_handle) {
    const auto open = std::find_if(m.open_keys.begin(), m.open_keys.end(),
                                   [&](const auto& key) { return key.second == opened; });
    if (open != m.open_keys.end()) {
      *result = open->first;
      return kErrorSuccess;
    }
  }
  *result = m.next_key++;
  m.open_keys[*result] = opened;
  return kErrorSuccess;
}

int32_t RegQueryValueExA(RegistryKey key, const std::string& value_name, uint32_t* type,
                         uint8_t* data, uint32_t* size) {
  sim::Enter("RegQueryValueExA");
  return sim::QueryValue(key, value_name, type, data, size);
}

int32_t RegCloseKey(RegistryKey key) {
  sim::Enter("RegCloseKey");
  // A predefined root is never opened, and closing it succeeds.
  if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) return kErrorSuccess;
  return sim::machine().open_keys.erase(key) == 1 ? kErrorSuccess : sim::kErrorInvalidHandle;
}

}  // namespace platform
