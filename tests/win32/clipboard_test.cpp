// modClipboard::SetClipboardData against the system's clipboard, read back through the real
// clipboard API, and with the clipboard held open by a second program.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/modClipboard.h"
#include "win32_test_support.h"

namespace {

using win32_test::ClipboardHeldElsewhere;
using namespace std::string_literals;

// The clipboard opened by the test itself. The system may hold it for a moment of its own
// (to hand the contents to other programs), so opening is retried for a while.
constexpr DWORD kClipboardPatience = 2000;

// The bytes of one format's block as the clipboard hands it out, or nothing when the format
// is not there.
std::optional<std::vector<BYTE>> Block(UINT format) {
  const win32::ScopedClipboard clipboard(nullptr, kClipboardPatience);
  if (!clipboard.open()) return std::nullopt;
  const win32::ScopedGlobalLock lock(GetClipboardData(format));
  const auto* bytes = static_cast<const BYTE*>(lock.data());
  if (bytes == nullptr) return std::nullopt;
  return std::vector<BYTE>(bytes, bytes + lock.size());
}

// The plain text on the clipboard, up to its NUL; nothing when there is none or no NUL.
std::optional<std::string> Text() {
  const std::optional<std::vector<BYTE>> block = Block(CF_TEXT);
  if (!block) return std::nullopt;
  const std::string bytes(block->begin(), block->end());
  const size_t end = bytes.find('\0');
  if (end == std::string::npos) return std::nullopt;
  return bytes.substr(0, end);
}

std::optional<std::wstring> UnicodeText() {
  const std::optional<std::vector<BYTE>> block = Block(CF_UNICODETEXT);
  if (!block) return std::nullopt;
  const std::wstring text(reinterpret_cast<const wchar_t*>(block->data()), block->size() / 2);
  const size_t end = text.find(L'\0');
  if (end == std::wstring::npos) return std::nullopt;
  return text.substr(0, end);
}

// Puts a text on the clipboard directly, with a second format of the test's own beside it.
bool PutDirectly(const std::string& text) {
  const win32::ScopedClipboard clipboard(nullptr, kClipboardPatience);
  if (!clipboard.open() || !EmptyClipboard()) return false;
  for (const UINT format : {UINT{CF_TEXT}, RegisterClipboardFormatA("SondrelProva.Formato")}) {
    win32::ScopedGlobalAlloc block(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!block.valid()) return false;
    {
      const win32::ScopedGlobalLock lock(block.get());
      lstrcpyA(static_cast<char*>(lock.data()), text.c_str());
    }
    if (SetClipboardData(format, block.get()) == nullptr) return false;
    block.release();  // the clipboard owns it now
  }
  return true;
}

bool OwnFormatPresent() {
  const win32::ScopedClipboard clipboard(nullptr, kClipboardPatience);
  return IsClipboardFormatAvailable(RegisterClipboardFormatA("SondrelProva.Formato")) != FALSE;
}

// The ANSI text the program's text box hands over for a Unicode text.
std::string Ansi(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string ansi(size, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), size,
                      nullptr, nullptr);
  return ansi;
}

// The private memory committed in this process: a block that is never freed stays in it.
size_t CommittedPrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  const char* address = nullptr;
  while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

class ClipboardTest : public win32_test::NoDialogTest {};

TEST_F(ClipboardTest, TextArrivesUnchanged) {
  const std::string texts[] = {
      "Rapporto Sondrel",
      "Prima riga\r\nSeconda riga\r\n\r\nQuarta riga, dopo una vuota\r\n",
      "\r\n",
      "a capo solo LF\nresta LF\n",
      "  spazi ai lati e tab\t  ",
      "Caff\xE8 e pi\xF9 (codifica 1252)",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(PutDirectly("vecchio contenuto"));
    modClipboard::SetClipboardData(text);
    EXPECT_EQ(Text(), text);
    const std::optional<std::vector<BYTE>> block = Block(CF_TEXT);
    ASSERT_TRUE(block);
    ASSERT_GE(block->size(), text.size() + 1);
    EXPECT_EQ((*block)[text.size()], 0) << "the text ends with its NUL";
    EXPECT_FALSE(OwnFormatPresent()) << "the clipboard was emptied first";
  }
}

TEST_F(ClipboardTest, TextReadsBackAsUnicodeThroughTheCodePage) {
  modClipboard::SetClipboardData("Caff\xE8\r\npi\xF9 \x80");
  EXPECT_EQ(UnicodeText(), L"Caff\u00E8\r\npi\u00F9 \u20AC");
}

TEST_F(ClipboardTest, EmptyTextIsAOneByteBlockWithItsNul) {
  ASSERT_TRUE(PutDirectly("vecchio contenuto"));
  modClipboard::SetClipboardData("");
  EXPECT_EQ(Text(), "");
  const std::optional<std::vector<BYTE>> block = Block(CF_TEXT);
  ASSERT_TRUE(block);
  // Wine hands out the block with the size it was given; another system may round it up.
  EXPECT_EQ(block->size(), 1u);
  EXPECT_EQ(block->at(0), 0);
  EXPECT_FALSE(OwnFormatPresent());
  EXPECT_EQ(UnicodeText(), L"");
}

// The program hands over what its text box gives in the ANSI code page; a character that the
// code page lacks has become the code page's replacement there, and arrives as such.
TEST_F(ClipboardTest, CharactersOutsideTheCodePageArriveAsItsReplacement) {
  ASSERT_EQ(GetACP(), 1252u) << "the expectations are those of the Western code page";
  const struct {
    std::wstring typed;
    std::string ansi;
    std::wstring back;
  } cases[] = {
      {L"A\u4E2DB", "A?B", L"A?B"},
      {L"\u0416\u4E2D\u65E5", "???", L"???"},
      {L"prezzo 5 \u20AC, \u4E2D", "prezzo 5 \x80, ?", L"prezzo 5 \u20AC, ?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ansi);
    const std::string ansi = Ansi(c.typed);
    ASSERT_EQ(ansi, c.ansi) << "what the text box hands over";
    modClipboard::SetClipboardData(ansi);
    EXPECT_EQ(Text(), c.ansi);
    EXPECT_EQ(UnicodeText(), c.back);
  }
}

TEST_F(ClipboardTest, ClipboardHeldByAnotherProgramKeepsItsContents) {
  ASSERT_TRUE(PutDirectly("contenuto di prima"));
  {
    ClipboardHeldElsewhere holder;
    ASSERT_TRUE(holder.held()) << "the holder program did not open the clipboard";
    modClipboard::SetClipboardData("contenuto nuovo");
    modClipboard::SetClipboardData("");
    ASSERT_TRUE(holder.Release());
  }
  EXPECT_EQ(Text(), "contenuto di prima");
  EXPECT_TRUE(OwnFormatPresent()) << "the clipboard was not emptied";
  // Once it is free again the next call goes through.
  modClipboard::SetClipboardData("contenuto nuovo");
  EXPECT_EQ(Text(), "contenuto nuovo");
}

// Blocks the test keeps itself, to show that the count sees them.
class KeptBlocks {
 public:
  KeptBlocks(int count, size_t size) {
    for (int i = 0; i < count; ++i) {
      blocks_.emplace_back(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    }
  }

 private:
  std::vector<win32::ScopedGlobalAlloc> blocks_;
};

TEST_F(ClipboardTest, TextThatCannotReachTheClipboardLeavesNoMemoryBehind) {
  const std::string large(4 << 20, 'x');
  {
    const size_t before = CommittedPrivateBytes();
    const KeptBlocks kept(24, large.size() + 1);
    ASSERT_GE(CommittedPrivateBytes(), before + (90u << 20)) << "the count sees blocks kept";
  }
  ClipboardHeldElsewhere holder;
  ASSERT_TRUE(holder.held());
  modClipboard::SetClipboardData(large);  // the first call may set up what stays for later
  const size_t before = CommittedPrivateBytes();
  for (int i = 0; i < 24; ++i) modClipboard::SetClipboardData(large);
  const size_t after = CommittedPrivateBytes();
  EXPECT_LT(after, before + (16u << 20))
      << "24 blocks of 4 MiB: " << (after - before) / 1024 << " KiB more committed";
  EXPECT_TRUE(holder.Release());
}

}  // namespace
