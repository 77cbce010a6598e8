#include "support/modAPIFilesAndPaths.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "support/path_separators.h"
#include "support/procedure_error.h"
#include "support/scoped_handle.h"

namespace modAPIFilesAndPaths {

namespace {

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;

// The root block must lie inside the resource and its key end inside the block, since the
// query trusts the lengths the block states and reads the key to its end, into whatever follows
// the block if need be. In the 16-bit layout, in which Windows 9x hands back every block and NT a
// 16-bit module's, the key follows wLength and wValueLength and is text; in the 32-bit layout a
// wType of 0 or 1 comes first and the block must be binary, since for a text block the query even
// writes a converted copy past it.
bool RootBlockIsSound(const std::vector<uint8_t>& resource) {
  constexpr size_t kHeader16 = 4, kHeader32 = 6;
  if (resource.size() < kHeader32) return false;
  const size_t length = resource[0] | resource[1] << 8;
  if (length > resource.size()) return false;
  if (resource[4] >= ' ') {
    const auto block_end = resource.begin() + static_cast<std::ptrdiff_t>(length);
    return length > kHeader16 && std::find(resource.begin() + kHeader16, block_end, 0) != block_end;
  }
  if (resource[4] != 0 || resource[5] != 0) return false;
  for (size_t at = kHeader32; at + 1 < length; at += 2) {
    if (resource[at] == 0 && resource[at + 1] == 0) return true;
  }
  return false;
}

// The fixed information is used only when it lies wholly inside the resource and carries its
// signature, so a damaged resource can neither make the copy read past the buffer nor pass
// stray bytes off as a version.
bool CopyFixedInfo(const std::vector<uint8_t>& resource, platform::VS_FIXEDFILEINFO* info) {
  if (!RootBlockIsSound(resource)) return false;
  void* block = nullptr;
  uint32_t length = 0;
  if (!platform::VerQueryValueA(resource.data(), "\\", &block, &length)) return false;
  const auto* first = static_cast<const uint8_t*>(block);
  const uint8_t* begin = resource.data();
  const uint8_t* end = begin + resource.size();
  if (first == nullptr || length < sizeof *info || first < begin || first > end ||
      static_cast<size_t>(end - first) < sizeof *info) {
    return false;
  }
  std::memcpy(info, first, sizeof *info);
  return info->dwSignature == kFixedInfoSignature;
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
      const size_t separator = support::LastSeparator(work);
      if (separator != std::string::npos) work.resize(separator);
      if (!result.empty()) name.append("\\").append(result);
      result = std::move(name);
      if (support::LastSeparator(work) == std::string::npos) break;
    }
    if (work != path) result = work.append("\\").append(result);
  });
}

}  // namespace modAPIFilesAndPaths
