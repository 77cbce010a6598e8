#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace sim {

namespace {

// The ANSI file functions take no path of MAX_PATH characters or more.
constexpr size_t kMaxPath = 260;

std::string Parent(const std::string& path) {
  const size_t separator = LastSeparator(path);
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string LastComponent(const std::string& path) { return path.substr(LastSeparator(path) + 1); }

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (const size_t end : Separators(path)) {
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  parts.push_back(path.substr(start));
  return parts;
}

std::string Absolute(const std::string& path) {
  const std::string& current = machine().current_directory;
  if (path.rfind("\\\\", 0) == 0 || (path.size() >= 2 && path[1] == ':')) return path;
  if (!path.empty() && path[0] == '\\') return current.substr(0, 2) + path;
  return InFolder(current, path);
}

// How many leading components of an absolute path form its root: "C:", or the four parts of
// "\\server\share".
size_t RootParts(const std::string& absolute) { return absolute.rfind("\\\\", 0) == 0 ? 4 : 1; }

// A root, or less than one ("\\server"): no entry of any folder.
bool IsRoot(const std::string& absolute) { return Split(absolute).size() <= RootParts(absolute); }

// The characters a long name may hold and an 8.3 name may not.
constexpr std::string_view kNotInShortNames = " +,;=[]";

// A name Windows keeps as its own alias: up to eight characters, a dot and up to three more,
// none of them a space or a character an 8.3 name cannot hold.
bool IsShortName(const std::string& name) {
  const size_t dot = name.find('.');
  const size_t base = dot == std::string::npos ? name.size() : dot;
  const size_t extension = dot == std::string::npos ? 0 : name.size() - dot - 1;
  return base >= 1 && base <= 8 && extension <= 3 &&
         name.find('.', base + 1) == std::string::npos &&
         name.find_first_of(kNotInShortNames) == std::string::npos;
}

// The alias NTFS forms for a long name: the first six characters that an 8.3 name can hold, in
// capitals, "~" and the lowest number no other entry of the folder has, and the first three of
// the last extension.
std::string ShortAlias(const std::string& folder, const std::string& name) {
  auto capitals = [](const std::string& text, size_t most) {
    std::string kept;
    for (const char c : text) {
      if (kept.size() == most) break;
      if (c != '.' && kNotInShortNames.find(c) == std::string_view::npos) {
        kept += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
    }
    return kept;
  };
  const size_t dot = name.rfind('.');
  const std::string base = capitals(name.substr(0, dot), 6);
  const std::string extension = dot == std::string::npos ? "" : capitals(name.substr(dot + 1), 3);
  for (int number = 1;; ++number) {
    const std::string alias =
        base + "~" + std::to_string(number) + (extension.empty() ? "" : "." + extension);
    const bool taken = std::any_of(machine().files.begin(), machine().files.end(), [&](auto& f) {
      return SameName(Parent(f.first), folder) && SameName(f.second.short_name, alias);
    });
    if (!taken) return alias;
  }
}

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

bool IsFullPath(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

const File* FindNamed(const std::string& path) {
  // A trailing backslash names a folder, never a file.
  const bool folder_only = path.size() > 1 && EndsWithSeparator(path);
  const File* file = FindFile(folder_only ? path.substr(0, path.size() - 1) : path);
  if (!file || (folder_only && (file->attributes & platform::kFileAttributeDirectory) == 0)) {
    return nullptr;
  }
  return file;
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
  // A new file is marked for archiving; "normal" stands for no other attribute.
  const uint32_t stored =
      (attributes == kFileAttributeNormal ? 0 : attributes) | kFileAttributeArchive;
  const std::string name = sim::LastComponent(path);
  const std::string alias = sim::IsShortName(name) ? "" : sim::ShortAlias(*folder, name);
  m.files[*folder + "\\" + name] = {stored, alias, std::nullopt};
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
  // Neither a folder nor a read-only file is deleted.
  if (!stored ||
      (m.files.at(*stored).attributes & (kFileAttributeDirectory | kFileAttributeReadOnly)) != 0) {
    return 0;
  }
  m.files.erase(*stored);
  return 1;
}

uint32_t GetFileAttributesA(const std::string& path) {
  sim::Enter("GetFileAttributesA");
  const sim::File* file = sim::FindNamed(path);
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
