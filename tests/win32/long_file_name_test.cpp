// GetLongFileName against the system's file system: folders and files with long names made by
// the test, reached through the short names the system gives them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/modAPIFilesAndPaths.h"
#include "win32_test_support.h"

namespace {

using modAPIFilesAndPaths::GetLongFileName;
using win32_test::CreatedTree;

constexpr char kFolder[] = "Cartella Con Nome Lungo";
constexpr char kFile[] = "File con un nome molto lungo.txt";
constexpr char kAccentedFolder[] = "Sottocartella Citt\xE0";
constexpr char kAccentedFile[] = "Documento \xE8 lungo.txt";
constexpr char kRootFile[] = "Sondrel File Alla Radice.txt";

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return static_cast<char>(std::toupper(static_cast<uint8_t>(c))); });
  return text;
}

std::string LastComponent(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

class LongFileNameTest : public win32_test::NoDialogTest {
 protected:
  void SetUp() override {
    NoDialogTest::SetUp();
    tree_ = std::make_unique<CreatedTree>(win32_test::TempFolder() + "SondrelNomiLunghi", true);
    ASSERT_TRUE(win32_test::Exists(tree_->root()));
    folder_ = tree_->Folder(kFolder);
    file_ = tree_->File(std::string(kFolder) + "\\" + kFile, "contenuto\r\n");
    ASSERT_FALSE(folder_.empty());
    ASSERT_FALSE(file_.empty());
    // What the names are stored as, by the system's own lookup.
    long_root_ = win32_test::LongPath(tree_->root());
    ASSERT_EQ(LastComponent(long_root_), "SondrelNomiLunghi");
    root_file_ = tree_->root().substr(0, 3) + kRootFile;
  }

  void TearDown() override {
    const std::string root = tree_->root();
    tree_.reset();
    NoDialogTest::TearDown();
    EXPECT_FALSE(win32_test::Exists(root)) << root << " was left behind";
    EXPECT_FALSE(win32_test::Exists(root_file_)) << root_file_ << " was left behind";
  }

  CreatedTree& tree() { return *tree_; }

  std::string folder_;
  std::string file_;
  std::string long_root_;
  std::string root_file_;

 private:
  std::unique_ptr<CreatedTree> tree_;
};

struct Case {
  std::string what;
  std::string path;
  std::string expected;
};

void ExpectAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(GetLongFileName(c.path), c.expected) << c.what;
}

TEST_F(LongFileNameTest, FullPaths) {
  const std::string short_file = win32_test::ShortPath(file_);
  const std::string short_folder = win32_test::ShortPath(folder_);
  ASSERT_NE(LastComponent(short_file), kFile) << "the file has a short name of its own";
  ASSERT_NE(LastComponent(short_folder), kFolder);
  ASSERT_EQ(short_file[1], ':');
  const std::string long_folder = long_root_ + "\\" + kFolder;
  const std::string long_file = long_folder + "\\" + kFile;
  std::vector<Case> cases = {
      {"short names", short_file, long_file},
      {"a lower-case drive", "c" + short_file.substr(1), "c" + long_file.substr(1)},
      {"a short folder", short_folder, long_folder},
      {"long names in another case", Upper(long_file), long_file},
      {"short and long names mixed", short_folder + "\\" + kFile, long_file},
      {"a missing file", short_folder + "\\NONESISTE.TXT", ""},
      {"a missing folder", tree().root() + "\\Assente\\" + kFile, ""},
      {"a trailing backslash", short_folder + "\\", ""},
      {"a path longer than 260 characters", tree().root() + "\\" + std::string(300, 'a'), ""},
  };
  if (GetACP() == 1252) {
    const std::string accented_folder =
        tree().Folder(std::string(kFolder) + "\\" + kAccentedFolder);
    const std::string accented_file =
        tree().File(std::string(kFolder) + "\\" + kAccentedFolder + "\\" + kAccentedFile, "");
    ASSERT_FALSE(accented_file.empty());
    ASSERT_NE(win32_test::ShortPath(accented_file), accented_file);
    cases.push_back({"accented names in the system code page", win32_test::ShortPath(accented_file),
                     long_folder + "\\" + kAccentedFolder + "\\" + kAccentedFile});
  }
  ExpectAll(cases);
}

// The single-byte search takes no path longer than MAX_PATH, even one naming an existing file.
TEST_F(LongFileNameTest, PathLongerThan260ToAFile) {
  std::string path = folder_;
  while (path.size() <= 300) path += "\\.";
  path += std::string("\\") + kFile;
  EXPECT_EQ(GetLongFileName(path), "");
}

TEST_F(LongFileNameTest, RelativePaths) {
  const win32_test::CurrentFolderGuard restore;
  ASSERT_TRUE(SetCurrentDirectoryA(tree().root().c_str()));
  const std::string short_folder = LastComponent(win32_test::ShortPath(folder_));
  const std::string short_file = LastComponent(win32_test::ShortPath(file_));
  {
    const win32_test::CurrentFolderGuard back_to_root;
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    ExpectAll({
        {"a bare short name", short_file, kFile},
        {"a bare long name in another case", Upper(kFile), kFile},
        {"a bare name that is missing", "NonEsiste.txt", ""},
    });
  }
  // Only names after a backslash are looked up: the first component stays as given.
  ExpectAll({
      {"a folder and a file", short_folder + "\\" + short_file, short_folder + "\\" + kFile},
      {"a bare folder name", short_folder, kFolder},
      {"a folder and a missing file", short_folder + "\\NonEsiste.txt", ""},
  });
}

TEST_F(LongFileNameTest, PathsFromTheDriveRoot) {
  const win32_test::CurrentFolderGuard restore;
  // The current folder decides which drive "\" is.
  ASSERT_TRUE(SetCurrentDirectoryA(tree().root().c_str()));
  DeleteFileA(root_file_.c_str());  // left by an interrupted run
  {
    const win32::AutoCloseHandle file(CreateFileA(root_file_.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.valid()) << root_file_;
    tree().Adopt(root_file_);
  }
  const std::string short_name = LastComponent(win32_test::ShortPath(root_file_));
  ASSERT_NE(short_name, kRootFile);
  const std::string drive = root_file_.substr(0, 2);
  ExpectAll({
      {"the short name", "\\" + short_name, std::string("\\") + kRootFile},
      {"the long name in another case", "\\" + Upper(kRootFile), std::string("\\") + kRootFile},
      {"with the drive", drive + "\\" + short_name, drive + "\\" + kRootFile},
      {"a missing file", "\\NonEsiste.txt", ""},
  });
}

// Wine serves "\\server\share" from the prefix's dosdevices\unc folder; the test makes a share
// there. The server part can never be searched, so it stays exactly as given.
TEST_F(LongFileNameTest, UncPaths) {
  using ToDosName = WCHAR*(CDECL*)(const char*);
  const auto to_dos_name = reinterpret_cast<ToDosName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  const char* prefix = std::getenv("WINEPREFIX");
  if (to_dos_name == nullptr || prefix == nullptr) GTEST_SKIP() << "no Wine prefix to serve UNC";
  WCHAR* wide = to_dos_name((std::string(prefix) + "/dosdevices/unc").c_str());
  ASSERT_NE(wide, nullptr);
  char narrow[MAX_PATH] = {};
  const int length =
      WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, wide);
  ASSERT_GT(length, 0);

  CreatedTree share(narrow, false);  // the folder itself is removed only when this test made it
  ASSERT_TRUE(win32_test::Exists(share.root()));
  win32_test::RemoveTree(share.root() + "\\sondreltest");  // left by an interrupted run
  ASSERT_FALSE(share.Folder("sondreltest").empty());
  ASSERT_FALSE(share.Folder("sondreltest\\Condivisa").empty());
  ASSERT_FALSE(share.Folder("sondreltest\\Condivisa\\Cartella Lunga").empty());
  ASSERT_FALSE(share.File("sondreltest\\Condivisa\\Cartella Lunga\\File Lungo.txt", "x").empty());

  std::string short_folder;
  std::string short_file;
  ASSERT_EQ(win32_test::SearchedName("\\\\sondreltest\\Condivisa\\Cartella Lunga", &short_folder),
            "Cartella Lunga")
      << "the share is served";
  ASSERT_EQ(win32_test::SearchedName("\\\\sondreltest\\Condivisa\\Cartella Lunga\\File Lungo.txt",
                                     &short_file),
            "File Lungo.txt");
  ASSERT_FALSE(short_folder.empty());
  ASSERT_FALSE(short_file.empty());
  ASSERT_EQ(win32_test::SearchedName("\\\\SONDRELTEST"), "") << "a server cannot be searched";
  // Windows cannot search a share root either, which then stays as given too; Wine can.
  std::string share_part = win32_test::SearchedName("\\\\SONDRELTEST\\CONDIVISA");
  if (share_part.empty()) share_part = "CONDIVISA";

  ExpectAll({
      {"short names on a share", "\\\\SONDRELTEST\\CONDIVISA\\" + short_folder + "\\" + short_file,
       "\\\\SONDRELTEST\\" + share_part + "\\Cartella Lunga\\File Lungo.txt"},
      {"long names in another case", "\\\\SONDRELTEST\\CONDIVISA\\CARTELLA LUNGA",
       "\\\\SONDRELTEST\\" + share_part + "\\Cartella Lunga"},
      {"a missing file on the share", "\\\\SONDRELTEST\\CONDIVISA\\" + short_folder + "\\No.txt",
       ""},
      {"a missing share", "\\\\SONDRELTEST\\NESSUNA\\Cartella Lunga\\File Lungo.txt", ""},
      {"a missing server", "\\\\nessunserver\\condivisa\\dir\\file.txt", ""},
  });
}

}  // namespace
