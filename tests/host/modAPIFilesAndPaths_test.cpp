#include "support/modAPIFilesAndPaths.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/sim_machine.h"

namespace {

using modAPIFilesAndPaths::GetFileVersion;
using modAPIFilesAndPaths::GetLongFileName;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override {
    EXPECT_TRUE(m.open_searches.empty()) << "every search is closed";
    EXPECT_TRUE(m.message_boxes.empty());
  }
  sim::Machine& m = sim::machine();
};

sim::File WithVersion(std::vector<uint8_t> resource) {
  return {platform::kFileAttributeNormal, "", std::move(resource)};
}

TEST_F(FilesTest, VersionHalvesAreUnsigned) {
  sim::AddFile("C:\\A.DLL", WithVersion(sim::VersionResource(0x00050000, 0x00260000)));
  sim::AddFile("C:\\B.DLL", WithVersion(sim::VersionResource(0xFFFF8000, 0x9C40FFFF)));
  EXPECT_EQ(GetFileVersion("C:\\A.DLL"), "5.0.38.0");
  EXPECT_EQ(GetFileVersion("c:\\b.dll"), "65535.32768.40000.65535");
}

// Windows 9x hands back every version block in the 16-bit layout, and NT a 16-bit module's.
TEST_F(FilesTest, VersionInEveryFamilyAndLayout) {
  const std::vector<uint8_t> pe = sim::VersionResource(0x50000, 0x0EE20000);
  for (const auto family :
       {sim::WindowsFamily::kNt, sim::WindowsFamily::kNt4, sim::WindowsFamily::k9x}) {
    m.family = family;
    sim::AddFile("C:\\PE.DLL", WithVersion(pe));
    sim::AddFile("C:\\NE.DLL", WithVersion(sim::SixteenBitLayout(pe)));
    EXPECT_EQ(GetFileVersion("C:\\PE.DLL"), "5.0.3810.0") << static_cast<int>(family);
    EXPECT_EQ(GetFileVersion("C:\\NE.DLL"), "5.0.3810.0") << static_cast<int>(family);
  }
}

TEST_F(FilesTest, FilesWithoutAUsableVersionGiveEmpty) {
  std::vector<uint8_t> no_root = sim::VersionResource(0x10000, 0);
  no_root[2] = no_root[3] = 0;  // the root block has no value
  std::vector<uint8_t> short_root = sim::VersionResource(0x10000, 0);
  short_root[2] = 20;  // a fixed record shorter than its 52 bytes
  const std::vector<uint8_t> header_only(39, 0x34);
  std::vector<uint8_t> text_root = sim::VersionResource(0x10000, 0);
  text_root[4] = 1;  // a text block: the query would convert it past its stated length
  std::vector<uint8_t> long_root = sim::VersionResource(0x10000, 0);
  long_root[0] = long_root[1] = 0xFF;  // states more bytes than the resource has
  std::vector<uint8_t> no_signature = sim::VersionResource(0x10000, 0);
  no_signature[40] = 0;
  std::vector<uint8_t> long_16bit = sim::SixteenBitLayout(sim::VersionResource(0x10000, 0));
  long_16bit[0] = 0xFF;
  const std::vector<uint8_t> unended_16bit{8, 0, 52, 0, 'V', 'S', '_', 'V'};
  const std::vector<uint8_t> unended_key{8, 0, 52, 0, 0, 0, 'V', 0};
  // The key ends in the resource but past the block's stated length, in either layout.
  std::vector<uint8_t> key_past_block = sim::VersionResource(0x10000, 0);
  key_past_block[0] = 20;
  std::vector<uint8_t> key_past_16bit_block =
      sim::SixteenBitLayout(sim::VersionResource(0x10000, 0));
  key_past_16bit_block[0] = 12;
  sim::AddFile("C:\\LONG16.DLL", WithVersion(long_16bit));
  sim::AddFile("C:\\UNENDED16.DLL", WithVersion(unended_16bit));
  sim::AddFile("C:\\UNENDED.DLL", WithVersion(unended_key));
  sim::AddFile("C:\\KEYPAST.DLL", WithVersion(key_past_block));
  sim::AddFile("C:\\KEYPAST16.DLL", WithVersion(key_past_16bit_block));
  sim::AddFile("C:\\TEXT.TXT");
  sim::AddFile("C:\\NOROOT.DLL", WithVersion(no_root));
  sim::AddFile("C:\\SHORT.DLL", WithVersion(short_root));
  sim::AddFile("C:\\TINY.DLL", WithVersion(header_only));
  sim::AddFile("C:\\EMPTY.DLL", WithVersion({}));
  sim::AddFile("C:\\TEXT.DLL", WithVersion(text_root));
  sim::AddFile("C:\\LONG.DLL", WithVersion(long_root));
  sim::AddFile("C:\\NOSIG.DLL", WithVersion(no_signature));
  for (const char* path :
       {"C:\\TEXT.TXT", "C:\\NOROOT.DLL", "C:\\SHORT.DLL", "C:\\TINY.DLL", "C:\\EMPTY.DLL",
        "C:\\TEXT.DLL", "C:\\LONG.DLL", "C:\\NOSIG.DLL", "C:\\LONG16.DLL", "C:\\UNENDED16.DLL",
        "C:\\UNENDED.DLL", "C:\\KEYPAST.DLL", "C:\\KEYPAST16.DLL", "C:\\MISSING.DLL", ""}) {
    EXPECT_EQ(GetFileVersion(path), "") << path;
  }
  EXPECT_EQ(GetFileVersion("C:\\" + std::string(300, 'a') + ".dll"), "");
  // A record that runs past the end of the resource, where the buffer is the resource's size.
  m.family = sim::WindowsFamily::k9x;
  std::vector<uint8_t> cut = sim::VersionResource(0x10000, 0);
  cut.resize(60);
  sim::AddFile("C:\\CUT.DLL", WithVersion(cut));
  EXPECT_EQ(GetFileVersion("C:\\CUT.DLL"), "");
  // Nothing was asked of the version library that Windows would answer by reading past a block.
  EXPECT_TRUE(m.message_boxes.empty());
}

class LongNameTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    sim::AddFolder("C:\\Program Files");
    m.files["C:\\Program Files"].short_name = "PROGRA~1";
    sim::AddFolder("C:\\Program Files\\Internet Explorer");
    m.files["C:\\Program Files\\Internet Explorer"].short_name = "INTERN~1";
    sim::AddFile("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE");
    sim::AddFile("C:\\Work\\Relazione finale.txt");
    m.files["C:\\Work\\Relazione finale.txt"].short_name = "RELAZI~1.TXT";
    sim::AddFile("C:\\file.txt");
    sim::AddFile("\\\\server\\share\\Dir\\File.txt");
    m.current_directory = "C:\\Work";
  }
};

struct LongNameCase {
  const char* given;
  const char* expected;
};

class LongNameCases : public LongNameTest, public ::testing::WithParamInterface<LongNameCase> {};

TEST_P(LongNameCases, EachComponentInItsStoredForm) {
  EXPECT_EQ(GetLongFileName(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LongNameCases,
    ::testing::Values(LongNameCase{"C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE",
                                   "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"},
                      LongNameCase{"c:\\progra~1\\intern~1\\iexplore.exe",
                                   "c:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"},
                      LongNameCase{"C:\\PROGRA~1", "C:\\Program Files"},
                      LongNameCase{"RELAZI~1.TXT", "Relazione finale.txt"},
                      LongNameCase{"\\FILE.TXT", "\\file.txt"},
                      // Windows searches neither a server nor a share root: they stay as given.
                      LongNameCase{"\\\\SERVER\\SHARE\\dir\\file.TXT",
                                   "\\\\SERVER\\SHARE\\Dir\\File.txt"},
                      LongNameCase{"\\\\SERVER\\SHARE", ""}, LongNameCase{"\\\\SERVER", ""},
                      LongNameCase{"C:\\PROGRA~1\\MISSING.EXE", ""},
                      LongNameCase{"MISSING.TXT", ""}, LongNameCase{"C:\\PROGRA~1\\", ""},
                      LongNameCase{"", ""}));

// Folders whose names end in a character whose second byte is a backslash's.
TEST_F(LongNameTest, DoubleByteCodePages) {
  const std::pair<uint32_t, std::string> folders[] = {{932, "\x83\x5C\x83t\x83g"},
                                                      {950, "\xA5\x5C"}};
  for (const auto& [code_page, folder] : folders) {
    SCOPED_TRACE(code_page);
    m.code_page = code_page;
    const std::string stored = "C:\\" + folder + "\\Browser\\browser.exe";
    sim::AddFile(stored);
    m.files["C:\\" + folder].short_name = "SOFT~1";
    EXPECT_EQ(GetLongFileName(stored), stored);
    EXPECT_EQ(GetLongFileName("C:\\SOFT~1\\BROWSER\\BROWSER.EXE"), stored);
    EXPECT_EQ(GetLongFileName("\\" + folder + "\\BROWSER"), "\\" + folder + "\\Browser");
    m.files.erase("C:\\" + folder);
  }
}

TEST_F(LongNameTest, PathsTooLongForTheSystemGiveEmpty) {
  const std::string deep = "C:\\PROGRA~1\\" + std::string(300, 'x');
  EXPECT_EQ(GetLongFileName(deep), "");
  EXPECT_EQ(GetLongFileName(std::string(70000, '\\')), "");
}

TEST_F(LongNameTest, LooksEachComponentUpOnceFromTheLastBack) {
  GetLongFileName("C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE");
  EXPECT_EQ(std::count(m.calls.begin(), m.calls.end(), "FindFirstFileA"), 3);
  EXPECT_EQ(std::count(m.calls.begin(), m.calls.end(), "FindClose"), 3);
}

}  // namespace
