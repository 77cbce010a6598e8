#include "win32_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace win32_test {

std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string ProgramFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, length);
  const size_t separator = path.rfind('\\');
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string SearchedName(const std::string& path, std::string* short_name) {
  WIN32_FIND_DATAA data{};
  const win32::ScopedFindFile search(FindFirstFileA(path.c_str(), &data));
  if (!search.valid()) return std::string();
  if (short_name != nullptr) *short_name = data.cAlternateFileName;
  return data.cFileName;
}

std::string ShortPath(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string LongPath(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolder(const std::string& path, std::vector<std::string>* made) {
  if (!CreateDirectoryA(path.c_str(), nullptr)) return false;
  made->push_back(path);
  return true;
}

std::wstring ExtendedPath(const std::string& path) {
  const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
  return L"\\\\?\\" + wide;
}

namespace {

void RemoveTreeW(const std::wstring& folder) {
  {
    WIN32_FIND_DATAW data{};
    const win32::ScopedFindFile search(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (search.valid()) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTreeW(path);
        } else {
          SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(search.get(), &data));
    }
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

void RemoveTree(const std::string& folder) { RemoveTreeW(ExtendedPath(folder)); }

CreatedTree::CreatedTree(std::string root, bool own_root) : root_(std::move(root)) {
  // A run that was stopped half-way may have left a tree of its own; each run starts afresh.
  if (CreateDirectoryA(root_.c_str(), nullptr)) {
    made_.push_back(root_);
  } else if (own_root && GetLastError() == ERROR_ALREADY_EXISTS) {
    RemoveTree(root_);
    if (CreateDirectoryA(root_.c_str(), nullptr)) made_.push_back(root_);
  }
}

CreatedTree::~CreatedTree() {
  for (auto path = made_.rbegin(); path != made_.rend(); ++path) {
    const DWORD attributes = GetFileAttributesA(path->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveDirectoryA(path->c_str());
    } else {
      SetFileAttributesA(path->c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path->c_str());
    }
  }
}

std::string CreatedTree::Folder(const std::string& relative) {
  const std::string path = root_ + "\\" + relative;
  return MakeFolder(path, &made_) ? path : std::string();
}

std::string CreatedTree::File(const std::string& relative, const std::string& content) {
  const std::string path = root_ + "\\" + relative;
  const win32::AutoCloseHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::string();
  made_.push_back(path);
  DWORD written = 0;
  if (!content.empty() && (!WriteFile(file.get(), content.data(),
                                      static_cast<DWORD>(content.size()), &written, nullptr) ||
                           written != content.size())) {
    return std::string();
  }
  return path;
}

CurrentFolderGuard::CurrentFolderGuard() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  saved_.assign(buffer, length < sizeof buffer ? length : 0);
}

CurrentFolderGuard::~CurrentFolderGuard() {
  if (!saved_.empty()) SetCurrentDirectoryA(saved_.c_str());
}

DialogWatch::DialogWatch(DWORD process)
    : process_(process), thread_([this] {
        while (!stop_) {
          Scan();
          Sleep(10);
        }
      }) {}

DialogWatch::~DialogWatch() { Stop(); }

std::vector<SeenDialog> DialogWatch::Stop() {
  if (thread_.joinable()) {
    stop_ = true;
    thread_.Join();
    Scan();
  }
  const CriticalSection::Lock lock(section_);
  return seen_;
}

namespace {

std::string WindowText(HWND window) {
  char buffer[1024] = {};
  const int length = GetWindowTextA(window, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? length : 0);
}

std::string ClassName(HWND window) {
  char buffer[64] = {};
  const int length = GetClassNameA(window, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? length : 0);
}

BOOL CALLBACK VisitControl(HWND control, LPARAM dialog) {
  auto* seen = reinterpret_cast<SeenDialog*>(dialog);
  const std::string kind = ClassName(control);
  if (_stricmp(kind.c_str(), "Button") == 0 && IsWindowVisible(control)) ++seen->buttons;
  if (_stricmp(kind.c_str(), "Static") == 0) {
    const std::string text = WindowText(control);
    if (!text.empty()) seen->text += text;
  }
  return TRUE;
}

}  // namespace

BOOL CALLBACK DialogWatch::Visit(HWND window, LPARAM watch_pointer) {
  auto* watch = reinterpret_cast<DialogWatch*>(watch_pointer);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != watch->process_ || ClassName(window) != "#32770") return TRUE;
  const CriticalSection::Lock lock(watch->section_);
  if (std::find(watch->closed_.begin(), watch->closed_.end(), window) != watch->closed_.end()) {
    return TRUE;
  }
  // The controls are read once the box is on screen, when it has all of them.
  if (!IsWindowVisible(window)) return TRUE;
  SeenDialog seen;
  seen.title = WindowText(window);
  EnumChildWindows(window, VisitControl, reinterpret_cast<LPARAM>(&seen));
  watch->seen_.push_back(seen);
  watch->closed_.push_back(window);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return TRUE;
}

void DialogWatch::Scan() { EnumWindows(Visit, reinterpret_cast<LPARAM>(this)); }

std::string Describe(const std::vector<SeenDialog>& dialogs) {
  std::string text;
  for (const SeenDialog& dialog : dialogs) {
    text += "[" + dialog.title + ": " + dialog.text + "] ";
  }
  return text;
}

void NoDialogTest::SetUp() { watch_ = std::make_unique<DialogWatch>(); }

void NoDialogTest::TearDown() {
  const std::vector<SeenDialog> seen = watch_->Stop();
  EXPECT_TRUE(seen.empty()) << "message boxes shown: " << Describe(seen);
}

bool IsVersionText(const std::string& text) {
  size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    const size_t end = part < 3 ? text.find('.', start) : text.size();
    if (end == std::string::npos || end == start || end - start > 5) return false;
    const std::string digits = text.substr(start, end - start);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return false;
    if (digits.size() > 1 && digits[0] == '0') return false;
    if (std::strtoul(digits.c_str(), nullptr, 10) > 65535) return false;
    start = end + 1;
  }
  return true;
}

namespace {

SavedKeyTree::Key ReadTree(HKEY key, const std::string& name) {
  SavedKeyTree::Key saved;
  saved.name = name;
  DWORD subkeys = 0, longest_subkey = 0, values = 0, longest_name = 0, longest_data = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longest_subkey, nullptr, &values,
                       &longest_name, &longest_data, nullptr, nullptr) != ERROR_SUCCESS) {
    return saved;
  }
  for (DWORD i = 0; i < values; ++i) {
    std::vector<char> value_name(longest_name + 2);
    DWORD name_size = static_cast<DWORD>(value_name.size());
    SavedKeyTree::Value value;
    value.data.resize(longest_data + 1);
    DWORD data_size = static_cast<DWORD>(value.data.size());
    if (RegEnumValueA(key, i, value_name.data(), &name_size, nullptr, &value.type,
                      value.data.data(), &data_size) != ERROR_SUCCESS) {
      continue;
    }
    value.name.assign(value_name.data(), name_size);
    value.data.resize(data_size);
    saved.values.push_back(value);
  }
  for (DWORD i = 0; i < subkeys; ++i) {
    std::vector<char> subkey_name(longest_subkey + 2);
    DWORD size = static_cast<DWORD>(subkey_name.size());
    if (RegEnumKeyExA(key, i, subkey_name.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      continue;
    }
    const std::string child(subkey_name.data(), size);
    win32::ScopedRegKey opened;
    if (RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, opened.out()) == ERROR_SUCCESS) {
      saved.children.push_back(ReadTree(opened.get(), child));
    }
  }
  return saved;
}

void WriteTree(HKEY parent, const SavedKeyTree::Key& saved) {
  win32::ScopedRegKey key;
  if (RegCreateKeyExA(parent, saved.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, key.out(), nullptr) != ERROR_SUCCESS) {
    return;
  }
  for (const SavedKeyTree::Value& value : saved.values) {
    RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                   static_cast<DWORD>(value.data.size()));
  }
  for (const SavedKeyTree::Key& child : saved.children) WriteTree(key.get(), child);
}

}  // namespace

bool DeleteKeyTree(HKEY root, const std::string& path) {
  {
    win32::ScopedRegKey key;
    const LONG opened = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out());
    if (opened != ERROR_SUCCESS) return opened == ERROR_FILE_NOT_FOUND;
    std::vector<std::string> children;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD size = sizeof name;
      if (RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      children.emplace_back(name, size);
    }
    for (const std::string& child : children) DeleteKeyTree(root, path + "\\" + child);
  }
  const LONG deleted = RegDeleteKeyA(root, path.c_str());
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

SavedKeyTree::SavedKeyTree(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
  win32::ScopedRegKey key;
  existed_ = RegOpenKeyExA(root_, path_.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
  if (existed_) saved_ = ReadTree(key.get(), path_);
}

SavedKeyTree::~SavedKeyTree() {
  DeleteKeyTree(root_, path_);
  if (existed_) WriteTree(root_, saved_);
}

SavedValue::SavedValue(HKEY root, std::string path, std::string name)
    : root_(root), path_(std::move(path)), name_(std::move(name)) {
  existed_ = ReadValue(root_, path_, name_, &type_, &data_);
}

SavedValue::~SavedValue() {
  if (existed_) {
    WriteValue(root_, path_, name_, type_, data_.data(), static_cast<DWORD>(data_.size()));
    return;
  }
  win32::ScopedRegKey key;
  if (RegOpenKeyExA(root_, path_.c_str(), 0, KEY_SET_VALUE, key.out()) == ERROR_SUCCESS) {
    RegDeleteValueA(key.get(), name_.c_str());
  }
}

bool WriteValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const void* data, DWORD size) {
  win32::ScopedRegKey key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, key.out(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

bool WriteString(HKEY root, const std::string& path, const std::string& name,
                 const std::string& text, DWORD type) {
  return WriteValue(root, path, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ReadValue(HKEY root, const std::string& path, const std::string& name, DWORD* type,
               std::vector<BYTE>* data) {
  win32::ScopedRegKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  data->assign(size, 0);
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, type, data->data(), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  data->resize(size);
  return true;
}

EnvironmentVariable::EnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)) {
  std::vector<char> buffer(32768);
  SetLastError(ERROR_SUCCESS);
  const DWORD length =
      GetEnvironmentVariableA(name_.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  existed_ = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  saved_.assign(buffer.data(), length < buffer.size() ? length : 0);
  SetEnvironmentVariableA(name_.c_str(), value.c_str());
}

EnvironmentVariable::~EnvironmentVariable() {
  SetEnvironmentVariableA(name_.c_str(), existed_ ? saved_.c_str() : nullptr);
}

std::string UniqueName(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  return prefix + "." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(++counter);
}

namespace {

HANDLE StartProcess(const std::string& command_line) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::vector<char> command(command_line.begin(), command_line.end());
  command.push_back('\0');
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return nullptr;
  }
  CloseHandle(started.hThread);
  return started.hProcess;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& command_line)
    : process_(StartProcess(command_line)) {}

ChildProcess::~ChildProcess() {
  if (started() && !WaitForEnd(0)) {
    TerminateProcess(process_.get(), 1);
    WaitForEnd(5000);
  }
}

bool ChildProcess::WaitForEnd(DWORD milliseconds) const {
  return WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = 0;
  return GetExitCodeProcess(process_.get(), &code) ? code : ~DWORD{0};
}

std::optional<std::string> WaitForFileContent(const std::string& path, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    std::string content = ReadWholeFile(path);
    if (!content.empty()) return content;
    if (GetTickCount() - start >= milliseconds) return std::nullopt;
    Sleep(10);
  }
}

std::string ReadWholeFile(const std::string& path) {
  const win32::AutoCloseHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
  if (!file.valid()) return std::string();
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  return content;
}

ClipboardHeldElsewhere::ClipboardHeldElsewhere()
    : opened_name_(UniqueName("SondrelProva.Aperti")),
      release_name_(UniqueName("SondrelProva.Rilascia")),
      opened_(CreateEventA(nullptr, TRUE, FALSE, opened_name_.c_str())),
      release_(CreateEventA(nullptr, TRUE, FALSE, release_name_.c_str())),
      holder_(Quoted(HelperProgram("clipboard_holder.exe")) + " " + opened_name_ + " " +
              release_name_ + " 20000") {
  held_ = holder_.started() && WaitForSingleObject(opened_.get(), 10000) == WAIT_OBJECT_0;
}

bool ClipboardHeldElsewhere::Release() {
  SetEvent(release_.get());
  return holder_.started() && holder_.WaitForEnd(10000) && holder_.ExitCode() == 0;
}

std::string HelperProgram(const std::string& name) { return ProgramFolder() + "\\" + name; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace win32_test
