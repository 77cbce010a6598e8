// Reads the version record of the built Sondrel.exe back through the real version API.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/scoped_win.h"

namespace {

std::string g_program;

std::vector<char> VersionBlock() {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(g_program.c_str(), &handle);
  std::vector<char> block(size);
  if (size == 0 || !GetFileVersionInfoA(g_program.c_str(), 0, size, block.data())) block.clear();
  return block;
}

std::string StringValue(std::vector<char>& block, const std::string& name) {
  void* value = nullptr;
  UINT length = 0;
  const std::string path = "\\StringFileInfo\\040904B0\\" + name;
  if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0) return "";
  return std::string(static_cast<const char*>(value));
}

TEST(VersionRecord, FixedPart) {
  std::vector<char> block = VersionBlock();
  ASSERT_FALSE(block.empty()) << g_program;
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000006u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000006u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
}

TEST(VersionRecord, Strings) {
  std::vector<char> block = VersionBlock();
  ASSERT_FALSE(block.empty());
  EXPECT_EQ(StringValue(block, "FileVersion"), "1.01.0006");
  EXPECT_EQ(StringValue(block, "ProductVersion"), "1.01.0006");
  EXPECT_EQ(StringValue(block, "FileDescription"), "Browser & Java info tool");
  EXPECT_EQ(StringValue(block, "ProductName"), "Sondrel");
  EXPECT_EQ(StringValue(block, "InternalName"), "Sondrel");
  EXPECT_EQ(StringValue(block, "OriginalFilename"), "Sondrel.exe");
}

TEST(VersionRecord, LanguageAndCodePage) {
  std::vector<char> block = VersionBlock();
  ASSERT_FALSE(block.empty());
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
  ASSERT_GE(length, 4u);
  const auto* words = static_cast<const WORD*>(value);
  EXPECT_EQ(words[0], 0x0409);
  EXPECT_EQ(words[1], 0x04B0);
}

TEST(VersionRecord, ProgramIconIsOne48PixelImage) {
  const win32::ScopedLibrary program(
      LoadLibraryExA(g_program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(program.valid());
  HRSRC group =
      FindResourceA(program.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* header = static_cast<const WORD*>(LockResource(LoadResource(program.get(), group)));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header[2], 1) << "one image";
  const auto* entry = reinterpret_cast<const BYTE*>(header + 3);
  EXPECT_EQ(entry[0], 48);
  EXPECT_EQ(entry[1], 48);
  EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 8) << "256 colours";
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  g_program = argv[1];
  return RUN_ALL_TESTS();
}
