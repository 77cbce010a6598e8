// Version, folders (the temporary folder too, which the browser look-up may need), locale,
// code page and display: forwarded to kernel32, user32 and gdi32.
#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

int32_t GetVersionExA(OSVERSIONINFOA* info) {
  static const win32::EntryPoint<BOOL WINAPI(::OSVERSIONINFOA*)> entry("kernel32.dll",
                                                                       "GetVersionExA");
  static_assert(sizeof(::OSVERSIONINFOA) == sizeof(OSVERSIONINFOA));
  return entry(reinterpret_cast<::OSVERSIONINFOA*>(info));
}

uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) {
  static const win32::EntryPoint<UINT WINAPI(LPSTR, UINT)> entry("kernel32.dll",
                                                                 "GetSystemDirectoryA");
  return entry(buffer, size);
}

uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) {
  static const win32::EntryPoint<UINT WINAPI(LPSTR, UINT)> entry("kernel32.dll",
                                                                 "GetWindowsDirectoryA");
  return entry(buffer, size);
}

int32_t IsDBCSLeadByte(uint8_t byte) {
  static const win32::EntryPoint<decltype(::IsDBCSLeadByte)> entry("kernel32.dll",
                                                                   "IsDBCSLeadByte");
  return entry(byte);
}

uint32_t GetTempPathA(uint32_t size, char* buffer) {
  static const win32::EntryPoint<decltype(::GetTempPathA)> entry("kernel32.dll", "GetTempPathA");
  return entry(size, buffer);
}

uint32_t GetUserDefaultLCID() {
  static const win32::EntryPoint<LCID WINAPI()> entry("kernel32.dll", "GetUserDefaultLCID");
  return entry();
}

int32_t GetLocaleInfoA(uint32_t locale, uint32_t type, char* data, int32_t size) {
  static const win32::EntryPoint<int WINAPI(LCID, LCTYPE, LPSTR, int)> entry("kernel32.dll",
                                                                             "GetLocaleInfoA");
  return entry(locale, type, data, size);
}

DeviceContext GetDC(WindowHandle window) {
  static const win32::EntryPoint<HDC WINAPI(HWND)> entry("user32.dll", "GetDC");
  return reinterpret_cast<DeviceContext>(entry(reinterpret_cast<HWND>(window)));
}

int32_t GetDeviceCaps(DeviceContext context, int32_t index) {
  static const win32::EntryPoint<int WINAPI(HDC, int)> entry("gdi32.dll", "GetDeviceCaps");
  return entry(reinterpret_cast<HDC>(context), index);
}

int32_t ReleaseDC(WindowHandle window, DeviceContext context) {
  static const win32::EntryPoint<int WINAPI(HWND, HDC)> entry("user32.dll", "ReleaseDC");
  return entry(reinterpret_cast<HWND>(window), reinterpret_cast<HDC>(context));
}

}  // namespace platform
