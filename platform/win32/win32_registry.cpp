// Registry: forwarded to advapi32. Keys are 32-bit handles on this system.
#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

namespace {

static_assert(sizeof(HKEY) == sizeof(RegistryKey));

HKEY Native(RegistryKey key) { return reinterpret_cast<HKEY>(static_cast<uintptr_t>(key)); }

}  // namespace

int32_t RegOpenKeyExA(RegistryKey root, const std::string& sub_key, uint32_t options,
                      uint32_t access, RegistryKey* result) {
  static const win32::EntryPoint<decltype(::RegOpenKeyExA)> entry("advapi32.dll", "RegOpenKeyExA");
  HKEY opened = nullptr;
  const LONG status = entry(Native(root), sub_key.c_str(), options, access, &opened);
  if (status == ERROR_SUCCESS)
    *result = static_cast<RegistryKey>(reinterpret_cast<uintptr_t>(opened));
  return status;
}

int32_t RegQueryValueExA(RegistryKey key, const std::string& value_name, uint32_t* type,
                         uint8_t* data, uint32_t* size) {
  static const win32::EntryPoint<decltype(::RegQueryValueExA)> entry("advapi32.dll",
                                                                     "RegQueryValueExA");
  DWORD native_type = 0;
  DWORD native_size = *size;
  const LONG status =
      entry(Native(key), value_name.c_str(), nullptr, &native_type, data, &native_size);
  *type = native_type;
  *size = native_size;
  return status;
}

int32_t RegCloseKey(RegistryKey key) {
  static const win32::EntryPoint<decltype(::RegCloseKey)> entry("advapi32.dll", "RegCloseKey");
  return entry(Native(key));
}

}  // namespace platform
