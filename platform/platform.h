// The Windows operations the program uses, with their Windows names and buffer-and-size
// contracts. Two backends implement them: win32/ over the real system DLLs and sim/ over a
// simulated machine. Any operation can raise runtime::Error, for example 453 when its entry
// point does not exist on the running system.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A native window handle as the shell and the message box take it.
using WindowHandle = uintptr_t;
constexpr WindowHandle kNoWindow = 0;

// Message box styles and answers.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr int32_t kIdOk = 1;
constexpr int32_t kIdYes = 6;
constexpr int32_t kIdNo = 7;

// The version record, in its single-byte form.
struct OSVERSIONINFOA {
  uint32_t dwOSVersionInfoSize;
  uint32_t dwMajorVersion;
  uint32_t dwMinorVersion;
  uint32_t dwBuildNumber;
  uint32_t dwPlatformId;
  char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// A device context as GetDC hands it out.
using DeviceContext = uintptr_t;

constexpr uint32_t kLocaleEnglishLanguage = 0x1001;  // LOCALE_SENGLANGUAGE
constexpr int32_t kBitsPixel = 12;                   // BITSPIXEL
constexpr int32_t kPlanes = 14;                      // PLANES

int32_t GetVersionExA(OSVERSIONINFOA* info);
uint32_t GetSystemDirectoryA(char* buffer, uint32_t size);
uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size);
uint32_t GetUserDefaultLCID();
int32_t GetLocaleInfoA(uint32_t locale, uint32_t type, char* data, int32_t size);
DeviceContext GetDC(WindowHandle window);
int32_t GetDeviceCaps(DeviceContext context, int32_t index);
int32_t ReleaseDC(WindowHandle window, DeviceContext context);

int32_t MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption,
                    uint32_t type);

}  // namespace platform
