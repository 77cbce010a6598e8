#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace sim {

namespace {

// The ANSI file functions take no path of MAX_PATH characters or more.
constexpr size_t kMaxPath = 260;

std::string Parent(const std::string& path) {
  const size_t separator = path.rfind('\\');
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string LastComponent(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = path.find('\\', start)) != std::string::npos; start = end + 1) {
    parts.push_back(path.substr(start, end - start));
  }
  parts.push_back(path.substr(start));
  return parts;
}

std::string Absolute(const std::string& path) {
  const std::string& current = machine().current_directory;
  if (path.rfind("\\\\", 0) == 0 || (path.size() >= 2 && path[1] == ':')) return path;
  if (!path.empty() && path[0] == '\\') return current.substr(0, 2) + path;
  return current.back() == '\\' ? current + path : current + "\\" + path;
}

// How many leading components of an absolute path form its root: "C:", or the four parts of
// "\\server\share".
size_t RootParts(const std::string& absolute) { return absolute.rfind("\\\\", 0) == 0 ? 4 : 1; }

// A root, or less than one ("\\server"): no entry of any folder.
bool IsRoot(const std::string& absolute) { return Split(absolute).size() <= RootParts(absolute); }

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool SameName(const std::string& a, const std::string& b) {
  return !NoCaseLess()(a, b) && !NoCaseLess()(b, a);
}

std::optional<std::string> Resolve(const std::string& path) {
  if (path.empty() || path.size() >= kMaxPath) return std::nullopt;
  const std::string absolute = Absolute(path);
  const size_t root_parts = RootParts(absolute);
  std::vector<std::string> parts = Split(absolute);
  std::string resolved = parts[0];
  for (size_t i = 1; i < root_parts && i < parts.size(); ++i) resolved += "\\" + parts[i];
  // The system reads a run of separators after the root as one: "C:\\a" is "C:\a".
  for (size_t i = root_parts; i + 1 < parts.size();) {
    if (parts[i].empty()) {
      parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  // "C:" and "C:\" both name the root folder.
  if (parts.size() == root_parts + 1 && parts.back().empty()) parts.pop_back();
  if (parts.size() <= root_parts) {
    if (machine().files.count(resolved) == 0) return std::nullopt;
    return machine().files.find(resolved)->first;
  }
  for (size_t i = root_parts; i < parts.size(); ++i) {
    const auto child = std::find_if(machine().files.begin(), machine().files.end(), [&](auto& f) {
      return SameName(Parent(f.first), resolved) &&
             (SameName(LastComponent(f.first), parts[i]) ||
              (!f.second.short_name.empty() && SameName(f.second.short_name, parts[i])));
    });
    if (parts[i].empty() || child == machine().files.end()) return std::nullopt;
    resolved = child->first;
  }
  return resolved;
}

const File* FindFile(const std::string& path) {
  const std::optional<std::string> stored = Resolve(path);
  return stored ? &machine().files.at(*stored) : nullptr;
}

void AddFolder(const std::string& path, uint32_t extra_attributes) {
  AddFile(path, {platform::kFileAttributeDirectory | extra_attributes, "", std::nullopt});
}

void AddFile(const std::string& path, File file) {
  if (!IsRoot(path) && machine().files.count(Parent(path)) == 0) AddFolder(Parent(path));
  machine().files[path] = std::move(file);
}

}  // namespace sim

namespace platform {

uint32_t GetModuleFileNameA(char* buffer, uint32_t size) {
  sim::Enter("GetModuleFileNameA");
  const std::string& name = sim::machine().module_file_name;
  if (size == 0) return 0;
  const size_t length = std::min<size_t>(name.size(), size - 1);
  std::memcpy(buffer, name.data(), length);
  buffer[length] = '\0';
  return name.size() < size ? static_cast<uint32_t>(name.size()) : size;
}

FileHandle CreateFileA(const std::string& path, uint32_t, uint32_t, uint32_t creation,
                       uint32_t attributes) {
  sim::Enter("CreateFileA");
  if (sim::IsRoot(sim::Absolute(path))) return kInvalidHandleValue;
  const std::optional<std::string> folder = sim::Resolve(sim::Parent(path));
  if (creation != kCreateNew || !folder || sim::Resolve(path) || path.size() >= sim::kMaxPath ||
      sim::machine().files.at(*folder).refuses_new_files) {
    return kInvalidHandleValue;
  }
  sim::Machine& m = sim::machine();
  m.files[*folder + "\\" + sim::LastComponent(path)] = {attributes, "", std::nullopt};
  const FileHandle handle = m.next_handle++;
  m.open_files.insert(handle);
  return handle;
}

int32_t CloseHandle(KernelHandle handle) {
  sim::Enter("CloseHandle");
  sim::Machine& m = sim::machine();
  return static_cast<int32_t>(m.open_files.erase(handle) + m.open_processes.erase(handle));
}

int32_t DeleteFileA(const std::string& path) {
  sim::Enter("DeleteFileA");
  const std::optional<std::string> stored = sim::Resolve(path);
  sim::Machine& m = sim::machine();
  if (!stored || (m.files.at(*stored).attributes & kFileAttributeDirectory) != 0) return 0;
  m.files.erase(*stored);
  return 1;
}

uint32_t GetFileAttributesA(const std::string& path) {
  sim::Enter("GetFileAttributesA");
  const sim::File* file = sim::FindFile(path);
  return file ? file->attributes : kInvalidFileAttributes;
}

SearchHandle FindFirstFileA(const std::string& path, WIN32_FIND_DATAA* data) {
  sim::Enter("FindFirstFileA");
  const std::optional<std::string> stored = sim::Resolve(path);
  // A root folder, a drive's or a share's, is no entry of any folder, so it cannot be searched
  // for.
  if (!stored || sim::IsRoot(*stored)) return kInvalidHandleValue;
  sim::Machine& m = sim::machine();
  const sim::File& file = m.files.at(*stored);
  *data = {};
  data->dwFileAttributes = file.attributes;
  const std::string name = sim::LastComponent(*stored);
  std::memcpy(data->cFileName, name.c_str(), std::min(name.size() + 1, sizeof data->cFileName));
  std::memcpy(data->cAlternateFileName, file.short_name.c_str(),
              std::min(file.short_name.size() + 1, sizeof data->cAlternateFileName));
  const SearchHandle handle = m.next_handle++;
  m.open_searches.insert(handle);
  return handle;
}

int32_t FindClose(SearchHandle search) {
  sim::Enter("FindClose");
  return static_cast<int32_t>(sim::machine().open_searches.erase(search));
}

}  // namespace platform
