// Windows' answers to the calls the program relies on, one table per area, asked of whichever
// backend the tests are built with: the simulated machine on the host, the real system under
// Wine. A simulated answer that differs from the real one fails here, so a simulator kinder
// than Windows cannot hide a fault of the program. Where Wine answers otherwise than Windows,
// the row says what Wine answers, why, and where that is written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "conformance_stage.h"
#include "platform/platform.h"

namespace {

using conformance::Stage;
using Bytes = std::vector<uint8_t>;

struct Row {
  const char* question;
  std::string (*ask)(Stage&);
  const char* windows;
  // Where Wine answers otherwise: its answer, and why, with the source.
  const char* wine = nullptr;
  const char* why_wine_differs = nullptr;
};

void Check(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.question);
    ASSERT_EQ(row.wine == nullptr, row.why_wine_differs == nullptr)
        << "a difference needs a reason";
    const std::unique_ptr<Stage> stage = conformance::MakeStage();
    const std::string expected = stage->UnderWine() && row.wine ? row.wine : row.windows;
    EXPECT_EQ(row.ask(*stage), expected);
  }
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string Hex(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

// Registry.

constexpr uint32_t kNoBuffer = ~0u;
constexpr uint32_t kUntouched = 0xDEADBEEF;
constexpr uint8_t kFill = 0xBD;

std::string Below(const Stage& s, const std::string& sub_key) {
  return sub_key.empty() ? s.Key() : s.Key() + "\\" + sub_key;
}

std::string Open(Stage& s, const std::string& sub_key) {
  platform::RegistryKey key = 0;
  const int32_t result = platform::RegOpenKeyExA(platform::kHkeyCurrentUser, Below(s, sub_key), 0,
                                                 platform::kKeyQueryValue, &key);
  if (result == platform::kErrorSuccess) platform::RegCloseKey(key);
  return std::to_string(result);
}

// What RegQueryValueExA gave for a value of the stage's key, asked with a buffer of the room
// given (or none), the type and size starting out as kUntouched unless the size gives the room.
struct Queried {
  bool opened = false;
  int32_t result = 0;
  uint32_t type = kUntouched;
  uint32_t size = kUntouched;
  Bytes buffer;
};

Queried AskValue(Stage& s, const std::string& name, uint32_t room) {
  Queried asked;
  platform::RegistryKey key = 0;
  if (platform::RegOpenKeyExA(platform::kHkeyCurrentUser, s.Key(), 0, platform::kKeyQueryValue,
                              &key) != platform::kErrorSuccess) {
    return asked;
  }
  asked.opened = true;
  asked.buffer.assign(room == kNoBuffer ? 0 : room, kFill);
  if (room != kNoBuffer) asked.size = room;
  asked.result = platform::RegQueryValueExA(
      key, name, &asked.type, room == kNoBuffer ? nullptr : asked.buffer.data(), &asked.size);
  platform::RegCloseKey(key);
  return asked;
}

// The result, what went to the type and the size, and on success the bytes handed back and the
// byte after them when the buffer had room for it.
std::string Query(Stage& s, const std::string& name, uint32_t room) {
  const Queried asked = AskValue(s, name, room);
  if (!asked.opened) return "no key";
  const uint32_t size = asked.size;
  std::string answer = std::to_string(asked.result);
  answer += " type " + (asked.type == kUntouched ? std::string("-") : std::to_string(asked.type));
  answer += " size " + (size == kUntouched ? std::string("-") : std::to_string(size));
  if (asked.result == platform::kErrorSuccess && room != kNoBuffer && size <= room) {
    if (size > 0) answer += " bytes " + Hex(asked.buffer.data(), size);
    if (size < room) answer += " then " + Hex(&asked.buffer[size], 1);
  }
  return answer;
}

// The result and the size, for a value the key lacks beside one it holds.
std::string MissingValue(Stage& s, uint32_t room) {
  s.PutValue("", "altro", platform::kRegDword, Bytes(4, 1));
  const Queried asked = AskValue(s, "nessuno", room);
  if (!asked.opened) return "no key";
  return std::to_string(asked.result) + " size " + std::to_string(asked.size);
}

constexpr uint32_t kUndefinedType = 0x1234;

TEST(WindowsAnswers, Registry) {
  Check({
      {"a key that does not exist", [](Stage& s) { return Open(s, "Nessuna"); }, "2"},
      {"the key above one that holds a value",
       [](Stage& s) {
         s.PutValue("A\\B", "v", platform::kRegSz, Text(std::string("x\0", 2)));
         return Open(s, "A");
       },
       "0"},
      {"a key named in another case",
       [](Stage& s) {
         s.PutValue("Chiave", "v", platform::kRegSz, Text(std::string("x\0", 2)));
         return Open(s, "CHIAVE");
       },
       "0"},
      {"a text with its NUL, into a buffer of its size",
       [](Stage& s) {
         s.PutValue("", "t", platform::kRegSz, Text(std::string("abcde\0", 6)));
         return Query(s, "t", 6);
       },
       "0 type 1 size 6 bytes 616263646500"},
      {"a text with its NUL, into a buffer one byte short",
       [](Stage& s) {
         s.PutValue("", "t", platform::kRegSz, Text(std::string("abcde\0", 6)));
         return Query(s, "t", 5);
       },
       "234 type 1 size 6"},
      {"a text stored without its NUL, into a buffer of its size",
       [](Stage& s) {
         s.PutValue("", "t", platform::kRegSz, Text("abcde"));
         return Query(s, "t", 5);
       },
       "0 type 1 size 5 bytes 6162636465"},
      // Wine's conformance tests, advapi32 registry.c test_string_termination: "RegQueryValueExA
      // adds a trailing '\0' if there is room".
      {"a text stored without its NUL, into a buffer one byte larger",
       [](Stage& s) {
         s.PutValue("", "t", platform::kRegSz, Text("abcde"));
         return Query(s, "t", 6);
       },
       "0 type 1 size 5 bytes 6162636465 then 00"},
      {"a text with a NUL inside it",
       [](Stage& s) {
         s.PutValue("", "t", platform::kRegSz, Text(std::string("ab\0cd\0", 6)));
         return Query(s, "t", 8);
       },
       "0 type 1 size 6 bytes 616200636400 then bd"},
      // Wine's conformance tests, advapi32 registry.c test_query_value_ex: NT clears the size
      // asked for without a buffer and leaves it with one; the type "is set to a random value
      // on NT", so it is not compared.
      {"a value that does not exist, its size only",
       [](Stage& s) { return MissingValue(s, kNoBuffer); }, "2 size 0"},
      {"a value that does not exist, into a buffer", [](Stage& s) { return MissingValue(s, 8); },
       "2 size 8"},
      {"a number's type and size, without a buffer",
       [](Stage& s) {
         s.PutValue("", "n", platform::kRegDword, {1, 2, 3, 4});
         return Query(s, "n", kNoBuffer);
       },
       "0 type 4 size 4"},
      {"a number into a buffer of two bytes",
       [](Stage& s) {
         s.PutValue("", "n", platform::kRegDword, {1, 2, 3, 4});
         return Query(s, "n", 2);
       },
       "234 type 4 size 4"},
      {"an empty binary value",
       [](Stage& s) {
         s.PutValue("", "b", platform::kRegBinary, {});
         return Query(s, "b", 8);
       },
       "0 type 3 size 0 then bd"},
      {"a binary value of 100,000 bytes, its size only",
       [](Stage& s) {
         s.PutValue("", "b", platform::kRegBinary, Bytes(100000, 7));
         return Query(s, "b", kNoBuffer);
       },
       "0 type 3 size 100000"},
      {"a text to expand is handed back as stored",
       [](Stage& s) {
         s.PutValue("", "e", platform::kRegExpandSz, Text(std::string("%A%\0", 4)));
         return Query(s, "e", 8);
       },
       "0 type 2 size 4 bytes 25412500 then bd"},
      {"a value of a type Windows does not define",
       [](Stage& s) {
         s.PutValue("", "x", kUndefinedType, {1, 2});
         return Query(s, "x", 8);
       },
       "0 type 4660 size 2 bytes 0102 then bd"},
      {"a value named in another case",
       [](Stage& s) {
         s.PutValue("", "Nome", platform::kRegBinary, {9});
         return Query(s, "NOME", 1);
       },
       "0 type 3 size 1 bytes 09"},
      {"a key handle that was closed",
       [](Stage& s) {
         s.PutValue("", "v", platform::kRegBinary, {9});
         platform::RegistryKey key = 0;
         platform::RegOpenKeyExA(platform::kHkeyCurrentUser, s.Key(), 0, platform::kKeyQueryValue,
                                 &key);
         const int32_t first = platform::RegCloseKey(key);
         uint32_t type = 0, size = 0;
         const int32_t query = platform::RegQueryValueExA(key, "v", &type, nullptr, &size);
         return std::to_string(first) + " then query " + std::to_string(query) + ", close " +
                std::to_string(platform::RegCloseKey(key));
       },
       "0 then query 6, close 6"},
      {"closing a predefined root",
       [](Stage&) { return std::to_string(platform::RegCloseKey(platform::kHkeyLocalMachine)); },
       "0"},
  });
}

// Files.

std::string Kind(const std::string& path) {
  const uint32_t attributes = platform::GetFileAttributesA(path);
  if (attributes == platform::kInvalidFileAttributes) return "missing";
  return (attributes & platform::kFileAttributeDirectory) != 0 ? "folder" : "file";
}

std::string Attributes(const std::string& path) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", platform::GetFileAttributesA(path));
  return text;
}

std::string Create(const std::string& path) {
  const platform::FileHandle file = platform::CreateFileA(
      path, platform::kGenericWrite, 0, platform::kCreateNew, platform::kFileAttributeNormal);
  if (file == platform::kInvalidHandleValue) return "refused";
  platform::CloseHandle(file);
  return "made";
}

std::string Search(const std::string& path) {
  platform::WIN32_FIND_DATAA data{};
  const platform::SearchHandle search = platform::FindFirstFileA(path, &data);
  if (search == platform::kInvalidHandleValue) return "none";
  platform::FindClose(search);
  return std::string(data.cFileName) + " alias \"" + data.cAlternateFileName + "\"";
}

// An alias such as Windows forms for a long name: up to eight characters, a tilde among them,
// and an extension of up to three, in capitals.
bool IsShortAlias(const std::string& alias) {
  const size_t dot = alias.find('.');
  const std::string base = alias.substr(0, dot);
  return !alias.empty() && base.size() <= 8 && base.find('~') != std::string::npos &&
         (dot == std::string::npos || alias.size() - dot - 1 <= 3) &&
         alias.find_first_of("abcdefghijklmnopqrstuvwxyz ") == std::string::npos;
}

// A file made below the stage's folder whose full path has exactly the length given.
std::string PathOfLength(Stage& s, size_t length) {
  std::string path = s.Folder();
  std::string relative;
  while (length - path.size() - 1 > 200) {
    const std::string folder(150, 'c');
    relative += (relative.empty() ? "" : "\\") + folder;
    s.MakeFolder(relative);
    path += "\\" + folder;
  }
  const std::string file(length - path.size() - 1, 'f');
  s.MakeFile(relative.empty() ? file : relative + "\\" + file);
  return path + "\\" + file;
}

TEST(WindowsAnswers, Files) {
  Check({
      {"the drive root", [](Stage&) { return Kind("C:\\"); }, "folder"},
      {"a folder named with a trailing backslash",
       [](Stage& s) {
         s.MakeFolder("Cartella");
         return Kind(s.Folder() + "\\Cartella\\");
       },
       "folder"},
      {"a file named with a trailing backslash",
       [](Stage& s) {
         s.MakeFile("a.txt");
         return Kind(s.Folder() + "\\a.txt\\");
       },
       "missing"},
      {"a file named in another case",
       [](Stage& s) {
         s.MakeFile("a.txt");
         return Kind(s.Folder() + "\\A.TXT");
       },
       "file"},
      {"a file that does not exist", [](Stage& s) { return Kind(s.Folder() + "\\b.txt"); },
       "missing"},
      {"a network share that does not exist",
       [](Stage&) { return Kind("\\\\nessuno\\condivisa\\a.txt"); }, "missing"},
      {"a file in a folder that does not exist",
       [](Stage& s) { return Kind(s.Folder() + "\\nessuna\\a.txt"); }, "missing"},
      {"a path of 259 characters", [](Stage& s) { return Kind(PathOfLength(s, 259)); }, "file"},
      {"a path of MAX_PATH characters", [](Stage& s) { return Kind(PathOfLength(s, 260)); },
       "missing", "file",
       "Microsoft's \"Maximum Path Length Limitation\": a path is at most MAX_PATH characters "
       "with its terminating NUL, \"D:\\some 256-character path string<NUL>\"; Wine's "
       "single-byte file functions (kernelbase, file.c, file_name_AtoW) take any name that fits "
       "the thread's buffer of MAX_PATH + 1 characters"},
      {"a file made anew carries the archive attribute",
       [](Stage& s) {
         const std::string path = s.Folder() + "\\nuovo.txt";
         const std::string made = Create(path);
         return made + " " + Attributes(path);
       },
       "made 20"},
      {"making a file that exists",
       [](Stage& s) {
         s.MakeFile("a.txt");
         return Create(s.Folder() + "\\a.txt");
       },
       "refused"},
      {"making a file in a folder that does not exist",
       [](Stage& s) { return Create(s.Folder() + "\\nessuna\\a.txt"); }, "refused"},
      {"deleting a file",
       [](Stage& s) {
         s.MakeFile("a.txt");
         const std::string path = s.Folder() + "\\a.txt";
         const int32_t deleted = platform::DeleteFileA(path);
         return std::to_string(deleted) + " " + Kind(path);
       },
       "1 missing"},
      {"deleting a read-only file",
       [](Stage& s) {
         s.MakeFile("a.txt");
         s.MakeReadOnly("a.txt");
         const std::string path = s.Folder() + "\\a.txt";
         const int32_t deleted = platform::DeleteFileA(path);
         return std::to_string(deleted) + " " + Kind(path);
       },
       "0 file"},
      {"deleting a folder",
       [](Stage& s) {
         s.MakeFolder("Cartella");
         const std::string path = s.Folder() + "\\Cartella";
         const int32_t deleted = platform::DeleteFileA(path);
         return std::to_string(deleted) + " " + Kind(path);
       },
       "0 folder"},
      {"searching for the drive root", [](Stage&) { return Search("C:\\"); }, "none"},
      {"searching for a folder named with a trailing backslash",
       [](Stage& s) {
         s.MakeFolder("Cartella");
         return Search(s.Folder() + "\\Cartella\\");
       },
       "none"},
      {"searching for a short name gives it as stored and no alias",
       [](Stage& s) {
         s.MakeFile("CORTO.TXT");
         return Search(s.Folder() + "\\corto.txt");
       },
       "CORTO.TXT alias \"\""},
      {"searching for a long name made anew gives it an alias",
       [](Stage& s) {
         const std::string path = s.Folder() + "\\Un nome lungo.testo";
         Create(path);
         platform::WIN32_FIND_DATAA data{};
         const platform::SearchHandle search = platform::FindFirstFileA(path, &data);
         if (search == platform::kInvalidHandleValue) return std::string("none");
         platform::FindClose(search);
         return std::string(data.cFileName) +
                (IsShortAlias(data.cAlternateFileName) ? " with an alias" : " without one");
       },
       "Un nome lungo.testo with an alias"},
  });
}

// The version library.

struct VersionBlock {
  uint32_t size = 0;
  Bytes bytes;
};

VersionBlock ReadBlock(const std::string& path) {
  VersionBlock block;
  uint32_t handle = 0;
  block.size = platform::GetFileVersionInfoSizeA(path, &handle);
  if (block.size == 0) return block;
  block.bytes.assign(block.size, 0);
  if (!platform::GetFileVersionInfoA(path, handle, block.size, block.bytes.data())) {
    block.bytes.clear();
  }
  return block;
}

uint32_t StatedLength(const VersionBlock& block) {
  return block.bytes.size() < 2 ? 0 : block.bytes[0] | block.bytes[1] << 8;
}

// How the size asked for relates to the length the block states.
std::string SizeAskedFor(const std::string& path) {
  const VersionBlock block = ReadBlock(path);
  const uint32_t length = StatedLength(block);
  if (block.size == 0) return "0";
  if (block.size == 2 * length + 4) return "twice the block and 4";
  if (length > 52 && block.size == 4 * (length - 52)) return "four times the block less 52";
  if (block.size == length) return "the block";
  return std::to_string(block.size) + " for a block of " + std::to_string(length);
}

std::string FixedPart(VersionBlock block) {
  void* value = nullptr;
  uint32_t length = 0;
  if (block.bytes.empty()) return "no block";
  const int32_t found = platform::VerQueryValueA(block.bytes.data(), "\\", &value, &length);
  if (!found) return "0";
  platform::VS_FIXEDFILEINFO info{};
  std::memcpy(&info, value, std::min<size_t>(length, sizeof info));
  char text[96];
  std::snprintf(text, sizeof text, "1 length %u signature %x file %u.%u.%u.%u", length,
                info.dwSignature, info.dwFileVersionMS >> 16, info.dwFileVersionMS & 0xFFFF,
                info.dwFileVersionLS >> 16, info.dwFileVersionLS & 0xFFFF);
  return text;
}

TEST(WindowsAnswers, VersionLibrary) {
  Check({
      {"the size for a library without a version resource",
       [](Stage& s) { return SizeAskedFor(s.UnversionedLibrary()); }, "0"},
      {"the size for a file that does not exist",
       [](Stage& s) { return SizeAskedFor(s.Folder() + "\\nessuno.dll"); }, "0"},
      {"the size for a block in the 32-bit layout",
       [](Stage& s) { return SizeAskedFor(s.VersionedLibrary()); }, "twice the block and 4"},
      {"the size for a block in the 16-bit layout",
       [](Stage& s) { return SizeAskedFor(s.SixteenBitLibrary()); }, "four times the block less 52",
       "112 for a block of 72",
       "Wine's GetFileVersionInfoSizeExW (version.c) reckons from the resource's size in the "
       "16-bit "
       "module's table, rounded up to the module's alignment, where its comment says Windows 2000 "
       "and XP take \"(info->wLength - sizeof(VS_FIXEDFILEINFO)) * 4\""},
      {"the fixed part of a block in the 32-bit layout",
       [](Stage& s) { return FixedPart(ReadBlock(s.VersionedLibrary())); },
       "1 length 52 signature feef04bd file 5.0.38.0"},
      {"the fixed part of a block in the 16-bit layout",
       [](Stage& s) { return FixedPart(ReadBlock(s.SixteenBitLibrary())); },
       "1 length 52 signature feef04bd file 5.0.3810.0"},
      {"the fixed part of a block that states it has none",
       [](Stage& s) {
         VersionBlock block = ReadBlock(s.VersionedLibrary());
         if (block.bytes.size() > 4) block.bytes[2] = block.bytes[3] = 0;
         void* value = nullptr;
         uint32_t length = kUntouched;
         const int32_t found = platform::VerQueryValueA(block.bytes.data(), "\\", &value, &length);
         return std::to_string(found) + " length " + std::to_string(length);
       },
       "1 length 0"},
  });
}

// The shell.

constexpr const char* kUnknownType = "a.sondrelprova";

std::string FindExecutable(const std::string& file, const std::string& directory) {
  char result[260] = {};
  return std::to_string(platform::FindExecutableA(file, directory, result));
}

TEST(WindowsAnswers, Shell) {
  Check({
      {"finding the program for a file that does not exist",
       [](Stage& s) { return FindExecutable(kUnknownType, s.Folder()); }, "2"},
      {"finding the program for a file of a type none opens",
       [](Stage& s) {
         s.MakeFile(kUnknownType);
         return FindExecutable(kUnknownType, s.Folder());
       },
       "31"},
      {"a file in the folder given, the current folder being another",
       [](Stage& s) {
         s.MakeFile(kUnknownType);
         s.MakeFolder("altra");
         s.MakeCurrent(s.Folder() + "\\altra");
         return FindExecutable(kUnknownType, s.Folder());
       },
       "31"},
      {"a file in the current folder, no folder given",
       [](Stage& s) {
         s.MakeFile(kUnknownType);
         s.MakeCurrent(s.Folder());
         return FindExecutable(kUnknownType, "");
       },
       "31"},
      {"a file named by its full path, another folder given",
       [](Stage& s) {
         s.MakeFile(kUnknownType);
         s.MakeFolder("altra");
         return FindExecutable(s.Folder() + "\\" + kUnknownType, s.Folder() + "\\altra");
       },
       "31"},
      {"opening a file that does not exist",
       [](Stage& s) {
         return std::to_string(platform::ShellExecuteA(platform::kNoWindow, "open",
                                                       s.Folder() + "\\nessuno.txt", nullptr,
                                                       nullptr, platform::kSwShowNormal));
       },
       "2"},
  });
}

// The clipboard.

std::string SetText() {
  const platform::GlobalHandle block =
      platform::GlobalAlloc(platform::kGmemMoveable | platform::kGmemZeroInit, 4);
  if (block == 0) return "no block";
  const platform::GlobalHandle set = platform::SetClipboardData(platform::kCfText, block);
  if (set == 0) platform::GlobalFree(block);
  return set == 0 ? "refused" : "set";
}

TEST(WindowsAnswers, Clipboard) {
  Check({
      {"emptying it unopened", [](Stage&) { return std::to_string(platform::EmptyClipboard()); },
       "0"},
      {"setting text unopened", [](Stage&) { return SetText(); }, "refused"},
      {"closing it unopened", [](Stage&) { return std::to_string(platform::CloseClipboard()); },
       "0"},
      {"a whole copy",
       [](Stage&) {
         const std::string opened = std::to_string(platform::OpenClipboard(platform::kNoWindow));
         const std::string emptied = std::to_string(platform::EmptyClipboard());
         const std::string set = SetText();
         return opened + " " + emptied + " " + set + " " +
                std::to_string(platform::CloseClipboard());
       },
       "1 1 set 1"},
      {"opening it twice",
       [](Stage&) {
         const std::string first = std::to_string(platform::OpenClipboard(platform::kNoWindow));
         const std::string second = std::to_string(platform::OpenClipboard(platform::kNoWindow));
         return first + " " + second + " " + std::to_string(platform::CloseClipboard());
       },
       "1 1 1"},
      {"opening it while another program holds it",
       [](Stage& s) {
         s.HoldClipboardElsewhere();
         const int32_t opened = platform::OpenClipboard(platform::kNoWindow);
         if (opened) platform::CloseClipboard();
         return std::to_string(opened);
       },
       "0"},
  });
}

// Code pages.

// The bytes that open a two-byte character in a code page, as ranges ("81-9f e0-fc").
std::string LeadBytes(Stage& s, uint32_t code_page) {
  std::string ranges;
  for (int byte = 0; byte < 256; ++byte) {
    if (!s.IsLeadByteOf(code_page, static_cast<uint8_t>(byte))) continue;
    const int first = byte;
    while (byte < 255 && s.IsLeadByteOf(code_page, static_cast<uint8_t>(byte + 1))) ++byte;
    char range[8];
    std::snprintf(range, sizeof range, "%02x-%02x", first, byte);
    ranges += (ranges.empty() ? "" : " ") + std::string(range);
  }
  return ranges.empty() ? "none" : ranges;
}

TEST(WindowsAnswers, LeadBytes) {
  Check({
      {"Western European (1252)", [](Stage& s) { return LeadBytes(s, 1252); }, "none"},
      {"Japanese (932)", [](Stage& s) { return LeadBytes(s, 932); }, "81-9f e0-fc"},
      {"Simplified Chinese (936)", [](Stage& s) { return LeadBytes(s, 936); }, "81-fe"},
      {"Korean (949)", [](Stage& s) { return LeadBytes(s, 949); }, "81-fe"},
      {"Traditional Chinese (950)", [](Stage& s) { return LeadBytes(s, 950); }, "81-fe"},
  });
}

// Temporary names.

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The number and the name formed, the folder written as "...", and whether a file was made.
std::string TempName(const std::string& folder, const std::string& prefix) {
  char name[261] = {};
  const uint32_t unique = platform::GetTempFileNameA(folder, prefix, 0x1234, name);
  if (unique == 0) return "refused";
  std::string formed = Lower(name);
  const std::string given =
      Lower(folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder);
  if (formed.rfind(given, 0) == 0) formed = "..." + formed.substr(given.size());
  return std::to_string(unique) + " " + formed + (Kind(name) == "missing" ? "" : " made");
}

// A folder made below the stage's, whose path has the length given.
std::string FolderOfLength(Stage& s, size_t length) {
  const std::string name(length - s.Folder().size() - 1, 'p');
  s.MakeFolder(name);
  return s.Folder() + "\\" + name;
}

TEST(WindowsAnswers, TemporaryNames) {
  Check({
      {"a name with its number given", [](Stage& s) { return TempName(s.Folder(), "sondrel"); },
       "4660 ...\\son1234.tmp"},
      // Wine's GetTempFileNameW (kernelbase, file.c) looks first: "ensure that the provided
      // directory exists".
      {"a folder that does not exist",
       [](Stage& s) { return TempName(s.Folder() + "\\nessuna", "sondrel"); }, "refused"},
      {"a folder with its trailing backslash",
       [](Stage& s) { return TempName(s.Folder() + "\\", "ab"); }, "4660 ...\\ab1234.tmp"},
      {"a folder of MAX_PATH - 14 characters",
       [](Stage& s) { return TempName(FolderOfLength(s, 246), ""); }, "4660 ...\\1234.tmp"},
      {"a folder longer than MAX_PATH - 14 characters",
       [](Stage& s) { return TempName(FolderOfLength(s, 247), ""); }, "refused",
       "4660 ...\\1234.tmp",
       "Microsoft's GetTempFileNameA: \"The string cannot be longer than MAX_PATH-14 characters "
       "or GetTempFileName will fail\"; Wine's GetTempFileNameW (kernelbase, file.c) forms the "
       "name whatever the folder's length"},
  });
}

// Message boxes.

std::string ShowBox(Stage& s, platform::WindowHandle owner) {
  s.AnswerNextBoxWithOk();
  const int32_t answer = platform::MessageBoxA(owner, "Testo della prova", "Titolo",
                                               platform::kMbOk | platform::kMbIconInformation);
  std::string shown;
  for (const conformance::ShownBox& box : s.BoxesShown()) {
    shown += ", " + box.caption + ": " + box.text;
  }
  return std::to_string(answer) + shown;
}

TEST(WindowsAnswers, MessageBoxes) {
  Check({
      {"an information box the user closes with OK",
       [](Stage& s) { return ShowBox(s, platform::kNoWindow); }, "1, Titolo: Testo della prova"},
  });
}

}  // namespace
