// Helpers of the Windows tests: owners for the handles the tests open themselves, a folder tree
// that removes what was made in it, and a watch for message boxes that should never appear.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace win32_test {

class UniqueKey {
 public:
  UniqueKey() = default;
  UniqueKey(const UniqueKey&) = delete;
  UniqueKey& operator=(const UniqueKey&) = delete;
  ~UniqueKey() { reset(); }
  HKEY get() const { return key_; }
  HKEY* out() { return &key_; }
  void reset() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

class UniqueSearch {
 public:
  explicit UniqueSearch(HANDLE search) : search_(search) {}
  HANDLE get() const { return search_; }
  UniqueSearch(const UniqueSearch&) = delete;
  UniqueSearch& operator=(const UniqueSearch&) = delete;
  ~UniqueSearch() {
    if (valid()) FindClose(search_);
  }
  bool valid() const { return search_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE search_;
};

class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() {
    if (valid()) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// The system's temporary folder with its trailing backslash.
std::string TempFolder();

// The folder of the running test program, without a trailing backslash.
std::string ProgramFolder();

// The name of the entry the path names as the file system stores it, or "" when a search
// finds nothing; the short form goes to *short_name when given.
std::string SearchedName(const std::string& path, std::string* short_name = nullptr);

// GetShortPathNameA and GetLongPathNameA, "" on failure.
std::string ShortPath(const std::string& path);
std::string LongPath(const std::string& path);

bool Exists(const std::string& path);

// Removes a folder and everything below it.
void RemoveTree(const std::string& folder);

// Folders and files made by a test, removed in reverse order when the tree ends. The root
// folder itself is made first and removed last when this tree made it. A root that belongs to
// the tests alone (own_root) is emptied first if an interrupted run left it; any other root
// that exists already is used and kept.
class CreatedTree {
 public:
  CreatedTree(std::string root, bool own_root);
  CreatedTree(const CreatedTree&) = delete;
  CreatedTree& operator=(const CreatedTree&) = delete;
  ~CreatedTree();

  const std::string& root() const { return root_; }
  // Paths are below the root; each returns the full path, or "" when it could not be made.
  std::string Folder(const std::string& relative);
  std::string File(const std::string& relative, const std::string& content);
  // A path anywhere, made by the caller, that the tree is to remove.
  void Adopt(const std::string& path) { made_.push_back(path); }

 private:
  std::string root_;
  std::vector<std::string> made_;
};

// Makes a folder for a path made elsewhere and records it in *made, returning false when it
// could not be made.
bool MakeFolder(const std::string& path, std::vector<std::string>* made);

// Restores the current folder on the way out.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard();
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;
  ~CurrentFolderGuard();

 private:
  std::string saved_;
};

// A dialog (window class "#32770") that a watch saw and closed.
struct SeenDialog {
  std::string title;
  std::string text;
  int buttons = 0;
};

// Watches the top-level windows of one process from a second thread while it lives. Every
// dialog that appears is recorded and closed with its OK command, so a message box that
// should not be there fails the test instead of blocking it.
class DialogWatch {
 public:
  explicit DialogWatch(DWORD process = GetCurrentProcessId());
  DialogWatch(const DialogWatch&) = delete;
  DialogWatch& operator=(const DialogWatch&) = delete;
  ~DialogWatch();

  // Ends the watch (after a last look) and returns what it saw.
  std::vector<SeenDialog> Stop();

 private:
  static BOOL CALLBACK Visit(HWND window, LPARAM watch);
  void Scan();

  DWORD process_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<HWND> closed_;
  std::vector<SeenDialog> seen_;
  std::thread thread_;
};

std::string Describe(const std::vector<SeenDialog>& dialogs);

// A test during which no dialog may appear in this process.
class NoDialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  std::unique_ptr<DialogWatch> watch_;
};

// The slot number the next kernel handle takes. The system hands out the lowest free slot,
// so the same number before and after some calls means they left nothing open.
uintptr_t NextHandleSlot();

// "N.N.N.N" with four unsigned 16-bit decimal numbers without leading zeros.
bool IsVersionText(const std::string& text);

}  // namespace win32_test
