// Helpers of the Windows tests: a folder tree that removes what was made in it, and a watch for
// message boxes that should never appear. The handle owners are in
// platform/win32/scoped_win.h.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "win32_thread.h"

namespace win32_test {

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

// A full path with a drive in the form that passes MAX_PATH: \\?\C:\...
std::wstring ExtendedPath(const std::string& path);

// Removes a folder and everything below it, however long the paths inside.
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

// A registry key and everything below it as they were when the object was made, put back
// when it ends: whatever the test left there is removed first. A key that did not exist is
// removed again.
class SavedKeyTree {
 public:
  SavedKeyTree(HKEY root, std::string path);
  SavedKeyTree(const SavedKeyTree&) = delete;
  SavedKeyTree& operator=(const SavedKeyTree&) = delete;
  ~SavedKeyTree();

  struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  struct Key {
    std::string name;
    std::vector<Value> values;
    std::vector<Key> children;
  };

 private:
  HKEY root_;
  std::string path_;
  bool existed_ = false;
  Key saved_;
};

// One registry value as it was when the object was made, put back (or removed again, when it
// did not exist) when it ends. The key itself is left in place.
class SavedValue {
 public:
  SavedValue(HKEY root, std::string path, std::string name);
  SavedValue(const SavedValue&) = delete;
  SavedValue& operator=(const SavedValue&) = delete;
  ~SavedValue();

  bool existed() const { return existed_; }
  DWORD type() const { return type_; }
  const std::vector<BYTE>& data() const { return data_; }

 private:
  HKEY root_;
  std::string path_;
  std::string name_;
  bool existed_ = false;
  DWORD type_ = REG_NONE;
  std::vector<BYTE> data_;
};

// Removes a key with all its subkeys; true when it is gone.
bool DeleteKeyTree(HKEY root, const std::string& path);

// Writes a value, making the key when it is missing; true on success.
bool WriteValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const void* data, DWORD size);
bool WriteString(HKEY root, const std::string& path, const std::string& name,
                 const std::string& text, DWORD type = REG_SZ);

// Reads a value; false when it does not exist.
bool ReadValue(HKEY root, const std::string& path, const std::string& name, DWORD* type,
               std::vector<BYTE>* data);

// An environment variable of this process set for one test and put back afterwards. Programs
// started from here inherit it.
class EnvironmentVariable {
 public:
  EnvironmentVariable(std::string name, const std::string& value);
  EnvironmentVariable(const EnvironmentVariable&) = delete;
  EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;
  ~EnvironmentVariable();

 private:
  std::string name_;
  bool existed_ = false;
  std::string saved_;
};

// A name no other run of the tests uses at the same time, for named kernel objects.
std::string UniqueName(const std::string& prefix);

// A program the test started itself. Ended by force if it still runs when the object ends.
class ChildProcess {
 public:
  // The command line is used as given; started() tells whether the process was made.
  explicit ChildProcess(const std::string& command_line);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  bool started() const { return process_.valid(); }
  // Waits at most the milliseconds given; true when the process has ended.
  bool WaitForEnd(DWORD milliseconds) const;
  DWORD ExitCode() const;

 private:
  win32::AutoCloseHandle process_;
};

// The content of a file that another program writes whole and then renames into place, once
// it can be read and holds something; nothing when that has not happened within the
// milliseconds given. The file can exist a moment before the writer lets it be read.
std::optional<std::string> WaitForFileContent(const std::string& path, DWORD milliseconds);

// The whole content of a file, "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// The path of a program built next to the running test program.
std::string HelperProgram(const std::string& name);

// Quotes a command-line argument that holds no quote of its own.
std::string Quoted(const std::string& text);

// The clipboard held open by the holder program until the object ends.
class ClipboardHeldElsewhere {
 public:
  ClipboardHeldElsewhere();
  ClipboardHeldElsewhere(const ClipboardHeldElsewhere&) = delete;
  ClipboardHeldElsewhere& operator=(const ClipboardHeldElsewhere&) = delete;
  ~ClipboardHeldElsewhere() { Release(); }

  bool held() const { return held_; }
  // Lets the holder close the clipboard and end; true when it ended as it should.
  bool Release();

 private:
  std::string opened_name_;
  std::string release_name_;
  win32::AutoCloseHandle opened_;
  win32::AutoCloseHandle release_;
  ChildProcess holder_;
  bool held_ = false;
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
  CriticalSection section_;
  std::vector<HWND> closed_;
  std::vector<SeenDialog> seen_;
  Thread thread_;
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

// "N.N.N.N" with four unsigned 16-bit decimal numbers without leading zeros.
bool IsVersionText(const std::string& text);

}  // namespace win32_test
