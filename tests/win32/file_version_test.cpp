// GetFileVersion against the system's version library: small libraries the build makes with
// known version resources (one of them a 16-bit module), files without one, and damaged copies
// made at run time.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "support/modAPIFilesAndPaths.h"
#include "win32_test_support.h"

namespace {

using modAPIFilesAndPaths::GetFileVersion;
using win32::AutoCloseHandle;
using win32_test::CreatedTree;
using Bytes = std::vector<char>;

std::string Beside(const std::string& name) { return win32_test::ProgramFolder() + "\\" + name; }

Bytes ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWhole(const std::string& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

class FileVersionTest : public win32_test::NoDialogTest {
 protected:
  void SetUp() override {
    NoDialogTest::SetUp();
    tree_ = std::make_unique<CreatedTree>(win32_test::TempFolder() + "SondrelVersioni", true);
    ASSERT_TRUE(win32_test::Exists(tree_->root()));
  }

  void TearDown() override {
    const std::string root = tree_->root();
    tree_.reset();
    NoDialogTest::TearDown();
    EXPECT_FALSE(win32_test::Exists(root)) << root << " was left behind";
  }

  CreatedTree& tree() { return *tree_; }

 private:
  std::unique_ptr<CreatedTree> tree_;
};

TEST_F(FileVersionTest, VersionOfEachFile) {
  const std::string text = tree().File("Leggimi.txt", "Nessuna versione in questo file.\r\n");
  const std::string empty = tree().File("Vuoto.dll", "");
  ASSERT_FALSE(text.empty());
  ASSERT_FALSE(empty.empty());
  const std::string short_library = win32_test::ShortPath(Beside("version_1_2_40000_65535.dll"));
  ASSERT_FALSE(short_library.empty());
  const struct {
    std::string what;
    std::string path;
    std::string expected;
  } cases[] = {
      {"halves 5, 0, 38, 0", Beside("version_5_0_38_0.dll"), "5.0.38.0"},
      {"build and revision above 32767", Beside("version_1_2_40000_65535.dll"), "1.2.40000.65535"},
      {"major and minor above 32767", Beside("version_65535_32768_1_2.dll"), "65535.32768.1.2"},
      {"a 16-bit module, whose block has no wType", Beside("ne_version_5_0_3810_0.dll"),
       "5.0.3810.0"},
      {"the short form of a library's path", short_library, "1.2.40000.65535"},
      {"a library without a version resource", Beside("no_version.dll"), ""},
      {"a text file", text, ""},
      {"an empty file", empty, ""},
      {"a missing file", tree().root() + "\\NonEsiste.dll", ""},
      {"a file in a missing folder", tree().root() + "\\Assente\\version_5_0_38_0.dll", ""},
      {"a folder", tree().root(), ""},
      {"no path", "", ""},
      {"a path longer than 260 characters", tree().root() + "\\" + std::string(300, 'a') + ".dll",
       ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetFileVersion(c.path), c.expected) << c.what;
}

// Whether the single-byte functions accept such a path at all is the system's choice; either
// way the answer is nothing or the library's own version.
TEST_F(FileVersionTest, PathLongerThan260ToALibrary) {
  std::string path = win32_test::ProgramFolder();
  while (path.size() <= 300) path += "\\.";
  path += "\\version_1_2_40000_65535.dll";
  const std::string version = GetFileVersion(path);
  EXPECT_TRUE(version.empty() || version == "1.2.40000.65535") << version;
}

// A damaged version resource must give nothing or a well-formed version, never a crash, a
// hang or a message box. The copies are read by version_probe.exe, a process of its own.
enum class Outcome {
  kEmpty,           // the file no longer holds the four halves, or holds no record of them
  kEmptyOrIntact,   // the halves are intact: nothing or exactly the library's version
  kEmptyOrAnyText,  // the halves are damaged or moved: nothing or some well-formed version
};

struct Damage {
  std::string what;
  Bytes file;
  Outcome outcome;
};

struct ProbeAnswer {
  bool read = false;
  std::string version;
  std::string failure;  // how the reader ended when it did not answer
};

std::string Hex(DWORD value) {
  char text[16];
  wsprintfA(text, "0x%08lX", value);
  return text;
}

// Runs the reader over the listed files; a file that ends the reader is answered with how it
// ended, and the reader goes on with the next one.
std::vector<ProbeAnswer> ReadInOwnProcess(const std::vector<std::string>& paths,
                                          const std::string& folder,
                                          std::vector<win32_test::SeenDialog>* dialogs) {
  std::vector<ProbeAnswer> answers(paths.size());
  const std::string list = folder + "\\elenco.txt";
  const std::string results = folder + "\\risultati.txt";
  size_t next = 0;
  while (next < paths.size()) {
    {
      std::ofstream out(list, std::ios::trunc);
      for (size_t i = next; i < paths.size(); ++i) out << paths[i] << "\n";
    }
    DeleteFileA(results.c_str());
    std::string command =
        "\"" + Beside("version_probe.exe") + "\" \"" + list + "\" \"" + results + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process)) {
      answers[next].failure = "the reader did not start: " + Hex(GetLastError());
      break;
    }
    const AutoCloseHandle process_handle(process.hProcess);
    const AutoCloseHandle thread_handle(process.hThread);
    DWORD exit_code = 0;
    {
      win32_test::DialogWatch watch(process.dwProcessId);
      ResumeThread(process.hThread);
      if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        exit_code = STILL_ACTIVE;
      } else {
        GetExitCodeProcess(process.hProcess, &exit_code);
      }
      const std::vector<win32_test::SeenDialog> seen = watch.Stop();
      dialogs->insert(dialogs->end(), seen.begin(), seen.end());
    }
    std::ifstream in(results);
    std::string line;
    while (next < paths.size() && std::getline(in, line) && !line.empty() && line[0] == '=') {
      answers[next].read = true;
      answers[next].version = line.substr(1);
      ++next;
    }
    if (next < paths.size()) {
      answers[next].failure =
          exit_code == STILL_ACTIVE ? "the reader hung" : "the reader ended with " + Hex(exit_code);
      ++next;
    }
  }
  DeleteFileA(list.c_str());
  DeleteFileA(results.c_str());
  return answers;
}

size_t FindKey(const Bytes& file) {
  static const char16_t kKey[] = u"VS_VERSION_INFO";
  const char* key = reinterpret_cast<const char*>(kKey);
  const size_t length = (sizeof kKey / sizeof kKey[0] - 1) * 2;
  const auto found = std::search(file.begin(), file.end(), key, key + length);
  return found == file.end() ? std::string::npos : static_cast<size_t>(found - file.begin());
}

void PutWord(Bytes* file, size_t offset, uint16_t value) {
  (*file)[offset] = static_cast<char>(value & 0xFF);
  (*file)[offset + 1] = static_cast<char>(value >> 8);
}

TEST_F(FileVersionTest, DamagedResourcesGiveNothingOrAWellFormedVersion) {
  const std::string intact_version = "1.2.40000.65535";
  const Bytes library = ReadWhole(Beside("version_1_2_40000_65535.dll"));
  const size_t key = FindKey(library);
  ASSERT_NE(key, std::string::npos);
  ASSERT_GE(key, 6u);
  // The root block: wLength, wValueLength, wType, the key and its NUL, padding to a multiple
  // of four, then the 52 bytes of the fixed information.
  const size_t block = key - 6;
  const size_t fixed = block + 40;
  ASSERT_LE(fixed + 52, library.size());
  ASSERT_EQ(static_cast<uint8_t>(library[block + 2]), 52) << "wValueLength";
  ASSERT_EQ(library[block + 4], 0) << "a binary root";
  const uint32_t signature = 0xFEEF04BD;
  ASSERT_EQ(0, std::memcmp(&library[fixed], &signature, 4));

  std::vector<Damage> damages;
  const auto patched = [&](const std::string& what, Outcome outcome,
                           std::vector<std::pair<size_t, uint16_t>> words) {
    Bytes file = library;
    for (const auto& [offset, value] : words) PutWord(&file, offset, value);
    damages.push_back({what, file, outcome});
  };
  const auto cut = [&](const std::string& what, Outcome outcome, size_t length) {
    damages.push_back({what, Bytes(library.begin(), library.begin() + length), outcome});
  };
  patched("no fixed information (wValueLength 0)", Outcome::kEmpty, {{block + 2, 0}});
  patched("fixed information of 20 bytes", Outcome::kEmpty, {{block + 2, 20}});
  patched("fixed information of 51 bytes", Outcome::kEmpty, {{block + 2, 51}});
  patched("a text root longer than the resource", Outcome::kEmpty,
          {{block, 0xFFFF}, {block + 4, 1}});
  patched("a text root of 60000 bytes", Outcome::kEmpty, {{block, 60000}, {block + 4, 1}});
  cut("an empty file", Outcome::kEmpty, 0);
  cut("one byte", Outcome::kEmpty, 1);
  cut("the first 64 bytes", Outcome::kEmpty, 64);
  cut("cut before the version resource", Outcome::kEmpty, block);
  cut("cut after the root block's header", Outcome::kEmpty, fixed);
  cut("cut before the version halves", Outcome::kEmpty, fixed + 8);
  patched("fixed information of 65535 bytes", Outcome::kEmptyOrIntact, {{block + 2, 0xFFFF}});
  patched("root block length 0", Outcome::kEmptyOrIntact, {{block, 0}});
  patched("root block shorter than its header", Outcome::kEmptyOrIntact, {{block, 6}});
  patched("root block ending inside the fixed information", Outcome::kEmptyOrIntact, {{block, 60}});
  patched("root block length 65535", Outcome::kEmptyOrIntact, {{block, 0xFFFF}});
  patched("another key", Outcome::kEmptyOrIntact, {{key, 'X'}});
  patched("no signature", Outcome::kEmptyOrIntact, {{fixed, 0}, {fixed + 2, 0}});
  cut("cut after the fixed information", Outcome::kEmptyOrIntact, fixed + 52);
  cut("the last byte missing", Outcome::kEmptyOrIntact, library.size() - 1);
  patched("a text root", Outcome::kEmptyOrAnyText, {{block + 4, 1}});
  patched("a key without its NUL", Outcome::kEmptyOrAnyText, {{key + 30, 'A'}, {key + 32, 'B'}});
  for (size_t offset = block; offset < fixed + 52; ++offset) {
    for (const char value : {'\0', '\xFF'}) {
      if (library[offset] == value) continue;
      Bytes file = library;
      file[offset] = value;
      damages.push_back({"byte " + std::to_string(offset - block) + " of the root block set to " +
                             std::to_string(static_cast<uint8_t>(value)),
                         file, Outcome::kEmptyOrAnyText});
    }
  }

  std::vector<std::string> paths;
  for (size_t i = 0; i < damages.size(); ++i) {
    const std::string path = tree().root() + "\\danno" + std::to_string(i) + ".dll";
    tree().Adopt(path);
    ASSERT_TRUE(WriteWhole(path, damages[i].file)) << path;
    paths.push_back(path);
  }
  std::vector<win32_test::SeenDialog> dialogs;
  const std::vector<ProbeAnswer> answers = ReadInOwnProcess(paths, tree().root(), &dialogs);
  EXPECT_TRUE(dialogs.empty()) << "message boxes shown: " << win32_test::Describe(dialogs);
  for (size_t i = 0; i < damages.size(); ++i) {
    const Damage& damage = damages[i];
    const ProbeAnswer& answer = answers[i];
    if (!answer.read) {
      ADD_FAILURE() << damage.what << ": " << answer.failure;
      continue;
    }
    switch (damage.outcome) {
      case Outcome::kEmpty:
        EXPECT_EQ(answer.version, "") << damage.what;
        break;
      case Outcome::kEmptyOrIntact:
        EXPECT_TRUE(answer.version.empty() || answer.version == intact_version)
            << damage.what << ": " << answer.version;
        break;
      case Outcome::kEmptyOrAnyText:
        EXPECT_TRUE(answer.version.empty() || win32_test::IsVersionText(answer.version))
            << damage.what << ": " << answer.version;
        break;
    }
  }
}

}  // namespace
