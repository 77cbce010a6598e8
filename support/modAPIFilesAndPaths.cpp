#include "support/modAPIFilesAndPaths.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "support/runtime_error.h"
#include "support/scoped_handle.h"

namespace modAPIFilesAndPaths {

namespace {

// The fixed information is used only when it lies wholly inside the resource, so a truncated
// or malformed resource cannot make the copy read past the buffer.
bool CopyFixedInfo(const std::vector<uint8_t>& resource, platform::VS_FIXEDFILEINFO* info) {
  void* block = nullptr;
  uint32_t length = 0;
  if (!platform::VerQueryValueA(resource.data(), "\\", &block, &length)) return false;
  const auto* first = static_cast<const uint8_t*>(block);
  const uint8_t* begin = resource.data();
  const uint8_t* end = begin + resource.size();
  if (first == nullptr || length < sizeof *info || first < begin ||
      static_cast<size_t>(end - first) < sizeof *info) {
    return false;
  }
  std::memcpy(info, first, sizeof *info);
  return true;
}

std::string VersionText(const platform::VS_FIXEDFILEINFO& info) {
  return std::to_string(info.dwFileVersionMS >> 16) + "." +
         std::to_string(info.dwFileVersionMS & 0xFFFF) + "." +
         std::to_string(info.dwFileVersionLS >> 16) + "." +
         std::to_string(info.dwFileVersionLS & 0xFFFF);
}

// The stored name of the entry the path names, or nothing when the search finds none.
bool FindStoredName(const std::string& path, std::string* name) {
  platform::WIN32_FIND_DATAA data{};
  const support::ScopedSearch search(platform::FindFirstFileA(path, &data));
  if (!search.valid()) return false;
  *name = std::string(data.cFileName, strnlen(data.cFileName, sizeof data.cFileName));
  return true;
}

}  // namespace

std::string GetFileVersion(const std::string& path) {
  return runtime::Trapped<std::string>("GetFileVersion", [&](std::string& result) {
    uint32_t handle = 0;
    const uint32_t size = platform::GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return;
    std::vector<uint8_t> resource(size, 0);
    if (!platform::GetFileVersionInfoA(path, 0, size, resource.data())) return;
    platform::VS_FIXEDFILEINFO info{};
    if (CopyFixedInfo(resource, &info)) result = VersionText(info);
  });
}

std::string GetLongFileName(const std::string& path) {
  return runtime::Trapped<std::string>("GetLongFileName", [&](std::string& result) {
    std::string work = path;
    std::string name;
    while (FindStoredName(work, &name)) {
      const size_t separator = work.rfind('\\');
      if (separator != std::string::npos) work.resize(separator);
      result = result.empty() ? name : name + "\\" + result;
      if (work.find('\\') == std::string::npos) break;
    }
    if (work != path) result = work + "\\" + result;
  });
}

}  // namespace modAPIFilesAndPaths
