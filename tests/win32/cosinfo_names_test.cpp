// The names, folders and identifiers of COSInfo against what the system itself reports, and
// the setup programs' default names from registry values the test writes.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "osinfo/COSInfo.h"
#include "win32_test_support.h"

namespace {

using win32_test::EnvironmentVariable;
using win32_test::SavedKeyTree;
using win32_test::SavedValue;

class COSInfoNamesTest : public win32_test::NoDialogTest {
 protected:
  const COSInfo info_{};
};

std::string SystemComputerName() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof buffer;
  return GetComputerNameA(buffer, &size) ? std::string(buffer, size) : std::string();
}

std::string SystemUserName() {
  char buffer[256 + 1] = {};
  DWORD size = sizeof buffer;
  return GetUserNameA(buffer, &size) ? std::string(buffer) : std::string();
}

// Removes every file in a folder, also those whose path is longer than the ANSI functions
// take, which a faulty TempFile could make.
void RemoveFiles(const std::string& folder) {
  const std::string long_form = "\\\\?\\" + folder + "\\";
  WIN32_FIND_DATAA data{};
  const win32::ScopedFindFile search(FindFirstFileA((long_form + "*").c_str(), &data));
  if (!search.valid()) return;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DeleteFileA((long_form + data.cFileName).c_str());
    }
  } while (FindNextFileA(search.get(), &data));
}

// The number of entries in a folder, "." and ".." not counted.
int EntryCount(const std::string& folder) {
  int count = 0;
  WIN32_FIND_DATAA data{};
  const win32::ScopedFindFile search(FindFirstFileA((folder + "\\*").c_str(), &data));
  if (!search.valid()) return 0;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") ++count;
  } while (FindNextFileA(search.get(), &data));
  return count;
}

// A temporary folder of the test's own, named by TMP while the object lives, so that whatever
// TempFile does stays in it; it is removed with its content at the end. Its name is new on
// every run, so that a file no one can remove (a faulty TempFile can make one whose name the
// system cannot take back) does not disturb the runs after it.
class OwnTempFolder {
 public:
  OwnTempFolder()
      : tree_(win32_test::TempFolder() +
                  win32_test::UniqueName("SondrelTemp." + std::to_string(GetTickCount())),
              true),
        tmp_("TMP", root()) {}
  OwnTempFolder(const OwnTempFolder&) = delete;
  OwnTempFolder& operator=(const OwnTempFolder&) = delete;
  ~OwnTempFolder() {
    for (const std::string& folder : folders_) RemoveFiles(folder);
    RemoveFiles(root());
  }

  const std::string& root() const { return tree_.root(); }
  // A folder below the root, which TMP then names.
  bool Use(const std::string& folder) {
    if (!CreateDirectoryA(folder.c_str(), nullptr)) return false;
    tree_.Adopt(folder);
    folders_.push_back(folder);
    return SetEnvironmentVariableA("TMP", folder.c_str()) != FALSE;
  }

 private:
  win32_test::CreatedTree tree_;
  EnvironmentVariable tmp_;
  std::vector<std::string> folders_;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST_F(COSInfoNamesTest, ComputerAndUserNamesAreTheSystemsOwn) {
  const std::string computer = SystemComputerName();
  const std::string user = SystemUserName();
  ASSERT_FALSE(computer.empty());
  ASSERT_FALSE(user.empty());
  EXPECT_EQ(info_.ComputerName(), computer);
  EXPECT_EQ(info_.UserName(), user);
}

// Writing the name changes the configured one; the running system keeps reporting the name
// it started with, and so does the read side.
TEST_F(COSInfoNamesTest, WritingTheComputerNameChangesTheConfiguredName) {
  constexpr char kConfigured[] = "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
  const SavedValue saved(HKEY_LOCAL_MACHINE, kConfigured, "ComputerName");
  ASSERT_TRUE(saved.existed()) << "where Wine keeps the configured name";
  const std::string before = SystemComputerName();
  // A name new on every run, so that a name left by an earlier run cannot pass for it.
  const std::string name = "SONDREL" + std::to_string(GetTickCount() % 100000);
  ASSERT_NE(name, before);

  info_.ComputerName(name);
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(win32_test::ReadValue(HKEY_LOCAL_MACHINE, kConfigured, "ComputerName", &type, &data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(data.begin(), data.end()), name + '\0');
  EXPECT_EQ(SystemComputerName(), before);
  EXPECT_EQ(info_.ComputerName(), before);
}

TEST_F(COSInfoNamesTest, TempPathIsTheSystemsFolderWithItsBackslash) {
  const std::string path = info_.TempPath();
  EXPECT_EQ(path, win32_test::TempFolder());
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.back(), '\\');

  win32_test::CreatedTree tree(win32_test::TempFolder() + "SondrelTemp", true);
  const EnvironmentVariable tmp("TMP", tree.root());
  EXPECT_EQ(info_.TempPath(), tree.root() + "\\");
}

// A fixed unique number: the name is formed from the folder, the prefix's first three
// characters and that number, and no file is made.
TEST_F(COSInfoNamesTest, TempFileFormsOneNameAndMakesNoFile) {
  const OwnTempFolder temp;
  const std::string folder = temp.root() + "\\";
  ASSERT_EQ(info_.TempPath(), folder);
  const struct {
    const char* prefix;
    const char* name;
  } cases[] = {{"sondrel", "son1.tmp"}, {"ab", "ab1.tmp"}, {"", "1.tmp"}, {"XYZW", "XYZ1.tmp"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("prefix \"") + c.prefix + "\"");
    const std::string name = info_.TempFile(c.prefix);
    EXPECT_EQ(Lower(name), Lower(folder + c.name));
    EXPECT_EQ(info_.TempFile(c.prefix), name) << "the same name the second time";
    EXPECT_FALSE(win32_test::Exists(name)) << "no file was made";
    EXPECT_EQ(EntryCount(temp.root()), 0) << "the folder is still empty";
  }
}

// A temporary folder so deep that the name passes 255 characters. Windows refuses a folder
// longer than MAX_PATH - 14 (the table of Windows' answers records it); where the system forms
// the name, as Wine does, the program keeps it whole, up to 259 characters.
TEST_F(COSInfoNamesTest, TempFileInADeepFolderIsWhole) {
  OwnTempFolder temp;
  const std::string deep = temp.root() + "\\" + std::string(250 - temp.root().size() - 1, 'p');
  ASSERT_EQ(deep.size(), 250u);
  ASSERT_TRUE(temp.Use(deep));
  ASSERT_EQ(info_.TempPath(), deep + "\\");
  const std::string name = info_.TempFile("sondrel");
  EXPECT_EQ(name.size(), 259u);
  EXPECT_EQ(Lower(name), Lower(deep + "\\son1.tmp"));
}

bool IsUpperHex(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

TEST_F(COSInfoNamesTest, GUIDIsANewGUIDInRegistryFormEachTime) {
  std::set<std::string> seen;
  for (int i = 0; i < 8; ++i) {
    const std::string text = info_.GUID();
    SCOPED_TRACE(text);
    ASSERT_EQ(text.size(), 38u);
    EXPECT_EQ(text.front(), '{');
    EXPECT_EQ(text.back(), '}');
    for (const size_t hyphen : {9u, 14u, 19u, 24u}) EXPECT_EQ(text[hyphen], '-');
    EXPECT_TRUE(IsUpperHex(text.substr(1, 8) + text.substr(10, 4) + text.substr(15, 4) +
                           text.substr(20, 4) + text.substr(25, 12)));
    // The system makes random GUIDs: version 4 in the third group, variant bits 10 in the
    // fourth. Both sit in fixed places only when every field is in the right order.
    EXPECT_EQ(text[15], '4');
    EXPECT_NE(std::string("89AB").find(text[20]), std::string::npos);

    // The system reads it back as the same GUID it writes in its own registry form.
    std::wstring wide(text.begin(), text.end());
    ::GUID parsed{};
    ASSERT_EQ(CLSIDFromString(wide.c_str(), &parsed), S_OK);
    wchar_t canonical[39] = {};
    ASSERT_EQ(StringFromGUID2(parsed, canonical, 39), 39);
    EXPECT_EQ(std::wstring(canonical), wide);
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 8u) << "a new GUID on every read";
}

// The setup programs' default names, read from values the test writes under the key they
// use; the key is put back as it was afterwards.
class DefaultNamesTest : public COSInfoNamesTest {
 protected:
  static constexpr char kParent[] = "Software\\Microsoft\\MS Setup (ACME)";
  static constexpr char kKey[] = "Software\\Microsoft\\MS Setup (ACME)\\User Info";

  const SavedKeyTree saved_{HKEY_CURRENT_USER, kParent};
};

// Each property reads its own value, as the registry reader turns it into text.
TEST_F(DefaultNamesTest, EachPropertyReadsItsOwnValue) {
  const DWORD number = 42;
  ASSERT_TRUE(win32_test::DeleteKeyTree(HKEY_CURRENT_USER, kKey));
  ASSERT_TRUE(
      win32_test::WriteString(HKEY_CURRENT_USER, kKey, "DefCompany", "Societ\xE0 Caff\xE8"));
  ASSERT_TRUE(win32_test::WriteValue(HKEY_CURRENT_USER, kKey, "DefName", REG_DWORD, &number,
                                     sizeof number));
  EXPECT_EQ(info_.DefaultCompanyName(), "Societ\xE0 Caff\xE8");
  EXPECT_EQ(info_.DefaultUserName(), "42");
}

TEST_F(DefaultNamesTest, MissingValueOrKeyGivesTheEmptyText) {
  ASSERT_TRUE(win32_test::DeleteKeyTree(HKEY_CURRENT_USER, kKey));
  ASSERT_TRUE(win32_test::WriteString(HKEY_CURRENT_USER, kKey, "Altro", "valore"));
  EXPECT_EQ(info_.DefaultCompanyName(), "") << "key without the values";
  EXPECT_EQ(info_.DefaultUserName(), "");

  ASSERT_TRUE(win32_test::DeleteKeyTree(HKEY_CURRENT_USER, kParent));
  EXPECT_EQ(info_.DefaultCompanyName(), "") << "no key";
  EXPECT_EQ(info_.DefaultUserName(), "");
}

TEST_F(COSInfoNamesTest, CurrentHardwareProfileIsTheSystemsProfileName) {
  HW_PROFILE_INFOA profile{};
  ASSERT_TRUE(GetCurrentHwProfileA(&profile));
  const std::string name = profile.szHwProfileName;
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(info_.CurrentHardwareProfile(), name);
}

}  // namespace
