#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace platform {

namespace {

// Copies text and its NUL when the buffer holds both, as the folder queries do; otherwise
// writes nothing and returns the size needed.
uint32_t CopyFolder(const std::optional<std::string>& folder, char* buffer, uint32_t size) {
  if (!folder) return 0;
  if (folder->size() + 1 > size) return static_cast<uint32_t>(folder->size() + 1);
  std::memcpy(buffer, folder->c_str(), folder->size() + 1);
  return static_cast<uint32_t>(folder->size());
}

}  // namespace

int32_t GetVersionExA(OSVERSIONINFOA* info) {
  sim::Enter("GetVersionExA");
  const sim::VersionRecord& v = sim::machine().version;
  if (v.fails || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return 0;
  info->dwMajorVersion = v.major;
  info->dwMinorVersion = v.minor;
  info->dwBuildNumber = v.build;
  info->dwPlatformId = v.platform_id;
  const size_t length = std::min(v.csd.size(), sizeof info->szCSDVersion - 1);
  std::memcpy(info->szCSDVersion, v.csd.data(), length);
  info->szCSDVersion[length] = '\0';
  return 1;
}

uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) {
  sim::Enter("GetSystemDirectoryA");
  return CopyFolder(sim::machine().system_directory, buffer, size);
}

uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) {
  sim::Enter("GetWindowsDirectoryA");
  return CopyFolder(sim::machine().windows_directory, buffer, size);
}

uint32_t GetUserDefaultLCID() {
  sim::Enter("GetUserDefaultLCID");
  return sim::machine().user_lcid;
}

int32_t GetLocaleInfoA(uint32_t locale, uint32_t type, char* data, int32_t size) {
  sim::Enter("GetLocaleInfoA");
  const auto& names = sim::machine().english_language_names;
  const auto name = names.find(locale);
  if (type != kLocaleEnglishLanguage || name == names.end()) return 0;
  const auto needed = static_cast<int32_t>(name->second.size() + 1);
  if (needed > size) return 0;
  std::memcpy(data, name->second.c_str(), static_cast<size_t>(needed));
  return needed;
}

DeviceContext GetDC(WindowHandle) {
  sim::Enter("GetDC");
  sim::Machine& m = sim::machine();
  if (m.device_context_refused) return 0;
  const DeviceContext context = m.next_device_context++;
  m.open_device_contexts.insert(context);
  return context;
}

int32_t GetDeviceCaps(DeviceContext context, int32_t index) {
  sim::Enter("GetDeviceCaps");
  const sim::Machine& m = sim::machine();
  if (m.open_device_contexts.count(context) == 0) return 0;
  if (index == kBitsPixel) return m.bits_per_pixel;
  if (index == kPlanes) return m.planes;
  if (index == kLogPixelsX) return m.logical_pixels_x;
  return 0;
}

int32_t ReleaseDC(WindowHandle, DeviceContext context) {
  sim::Enter("ReleaseDC");
  return static_cast<int32_t>(sim::machine().open_device_contexts.erase(context));
}

}  // namespace platform
