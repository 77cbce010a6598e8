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
  const UniqueSearch search(FindFirstFileA(path.c_str(), &data));
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

void RemoveTree(const std::string& folder) {
  {
    WIN32_FIND_DATAA data{};
    const UniqueSearch search(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (search.valid()) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path);
        } else {
          SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileA(path.c_str());
        }
      } while (FindNextFileA(search.get(), &data));
    }
  }
  RemoveDirectoryA(folder.c_str());
}

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
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
    thread_.join();
    Scan();
  }
  const std::lock_guard<std::mutex> lock(mutex_);
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
  const std::lock_guard<std::mutex> lock(watch->mutex_);
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

uintptr_t NextHandleSlot() {
  const UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  return reinterpret_cast<uintptr_t>(event.get());
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

}  // namespace win32_test
