// Names, folders, identifiers and desktop settings: forwarded to kernel32, advapi32, ole32 and
// user32.
#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

int32_t GetComputerNameA(char* buffer, uint32_t* size) {
  static const win32::EntryPoint<decltype(::GetComputerNameA)> entry("kernel32.dll",
                                                                     "GetComputerNameA");
  DWORD native_size = *size;
  const BOOL done = entry(buffer, &native_size);
  *size = native_size;
  return done;
}

int32_t SetComputerNameA(const std::string& name) {
  static const win32::EntryPoint<decltype(::SetComputerNameA)> entry("kernel32.dll",
                                                                     "SetComputerNameA");
  return entry(name.c_str());
}

int32_t GetUserNameA(char* buffer, uint32_t* size) {
  static const win32::EntryPoint<BOOL WINAPI(LPSTR, LPDWORD)> entry("advapi32.dll", "GetUserNameA");
  DWORD native_size = *size;
  const BOOL done = entry(buffer, &native_size);
  *size = native_size;
  return done;
}

uint32_t GetTempFileNameA(const std::string& path, const std::string& prefix, uint32_t unique,
                          char* name) {
  static const win32::EntryPoint<decltype(::GetTempFileNameA)> entry("kernel32.dll",
                                                                     "GetTempFileNameA");
  return entry(path.c_str(), prefix.c_str(), unique, name);
}

int32_t CoCreateGuid(GUID* guid) {
  static const win32::EntryPoint<HRESULT WINAPI(::GUID*)> entry("ole32.dll", "CoCreateGuid");
  static_assert(sizeof(::GUID) == sizeof(GUID));
  return entry(reinterpret_cast<::GUID*>(guid));
}

int32_t GetCurrentHwProfileA(HW_PROFILE_INFOA* profile) {
  static const win32::EntryPoint<BOOL WINAPI(::HW_PROFILE_INFOA*)> entry("advapi32.dll",
                                                                         "GetCurrentHwProfileA");
  static_assert(sizeof(::HW_PROFILE_INFOA) == sizeof(HW_PROFILE_INFOA));
  return entry(reinterpret_cast<::HW_PROFILE_INFOA*>(profile));
}

int32_t SystemParametersInfoA(uint32_t action, uint32_t ui_param, void* pv_param,
                              uint32_t win_ini) {
  static const win32::EntryPoint<decltype(::SystemParametersInfoA)> entry("user32.dll",
                                                                          "SystemParametersInfoA");
  return entry(action, ui_param, pv_param, win_ini);
}

}  // namespace platform
