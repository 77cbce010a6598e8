#include "osinfo/COSInfo.h"

#include <cmath>

#include "platform/platform.h"
#include "support/procedure_error.h"
#include "support/scoped_handle.h"

namespace {

constexpr uint32_t kFolderBufferSize = 260;
constexpr int32_t kLanguageBufferSize = 100;

platform::OSVERSIONINFOA QueryVersion() {
  platform::OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  platform::GetVersionExA(&info);
  return info;
}

// The version fields are declared signed where the program reads them.
int32_t AsSigned(uint32_t field) { return static_cast<int32_t>(field); }

template <typename Query>
std::string FolderBuffer(Query query) {
  std::string buffer(kFolderBufferSize, '\0');
  query(buffer.data(), kFolderBufferSize);
  return buffer;
}

// Bits per pixel times planes; the screen's context is given back before the result is used.
int32_t ColourDepth() {
  const support::ScopedDeviceContext screen(platform::kNoWindow);
  const int32_t bits = platform::GetDeviceCaps(screen.get(), platform::kBitsPixel);
  const int32_t planes = platform::GetDeviceCaps(screen.get(), platform::kPlanes);
  return runtime::CheckedNarrow<int32_t>(int64_t{planes} * bits);
}

}  // namespace

int32_t COSInfo::DisplayColors() const {
  return runtime::Trapped<int32_t>("DisplayColors", [](int32_t& result) {
    const int32_t depth = ColourDepth();
    result = depth == 32 ? -1 : runtime::CheckedRound(std::pow(2.0, static_cast<double>(depth)));
  });
}

std::string COSInfo::Language() const {
  return runtime::Trapped<std::string>("Language", [this](std::string& result) {
    std::string buffer(kLanguageBufferSize, ' ');
    platform::GetLocaleInfoA(platform::GetUserDefaultLCID(), platform::kLocaleEnglishLanguage,
                             buffer.data(), kLanguageBufferSize);
    result = TrimNulls(buffer);
  });
}

std::string COSInfo::OSAdditional() const {
  return runtime::Trapped<std::string>("OSAdditional", [this](std::string& result) {
    const platform::OSVERSIONINFOA info = QueryVersion();
    result = TrimNulls(std::string(info.szCSDVersion, sizeof info.szCSDVersion));
  });
}

int32_t COSInfo::OSBuild() const {
  return runtime::Trapped<int32_t>(
      "OSBuild", [](int32_t& result) { result = AsSigned(QueryVersion().dwBuildNumber & 0x7FFF); });
}

int32_t COSInfo::OSMajorVersion() const {
  return runtime::Trapped<int32_t>(
      "OSMajorVersion", [](int32_t& result) { result = AsSigned(QueryVersion().dwMajorVersion); });
}

int32_t COSInfo::OSMinorVersion() const {
  return runtime::Trapped<int32_t>(
      "OSMinorVersion", [](int32_t& result) { result = AsSigned(QueryVersion().dwMinorVersion); });
}

std::string COSInfo::SystemDirectory() const {
  return runtime::Trapped<std::string>("SystemDirectory", [this](std::string& result) {
    result = TrimNulls(FolderBuffer(platform::GetSystemDirectoryA));
  });
}

std::string COSInfo::WindowsDirectory() const {
  return runtime::Trapped<std::string>("WindowsDirectory", [this](std::string& result) {
    result = TrimNulls(FolderBuffer(platform::GetWindowsDirectoryA));
  });
}

int32_t COSInfo::WindowsType() const {
  return runtime::Trapped<int32_t>(
      "WindowsType", [](int32_t& result) { result = AsSigned(QueryVersion().dwPlatformId); });
}

std::string COSInfo::TrimNulls(const std::string& text) const {
  return runtime::Trapped<std::string>("TrimNulls", [&text](std::string& result) {
    const size_t nul = text.find('\0');
    // The position is a 16-bit number counted from 1.
    const int16_t position =
        nul == std::string::npos ? int16_t{0} : runtime::CheckedNarrow<int16_t>(int64_t(nul) + 1);
    result = position == 0 ? text : text.substr(0, static_cast<size_t>(position - 1));
  });
}
