#include <gtest/gtest.h>

#include "osinfo/COSInfo.h"
#include "platform/sim/sim_machine.h"

namespace {

constexpr char kUserInfo[] = "Software\\Microsoft\\MS Setup (ACME)\\User Info";

class NamesTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override { EXPECT_TRUE(m.open_keys.empty()); }
  sim::Machine& m = sim::machine();
  COSInfo os;
};

TEST_F(NamesTest, NamesAsThePlatformWritesThem) {
  EXPECT_EQ(os.ComputerName(), "UFFICIO-01");
  EXPECT_EQ(os.UserName(), "Giulia");
  EXPECT_EQ(os.CurrentHardwareProfile(), "Profilo 1");
  m.computer_name = std::string(99, 'c');
  m.user_name = std::string(99, 'u');
  m.hardware_profile_name = std::string(79, 'p');
  EXPECT_EQ(os.ComputerName(), std::string(99, 'c')) << "99 characters and the NUL fit";
  EXPECT_EQ(os.UserName(), std::string(99, 'u'));
  EXPECT_EQ(os.CurrentHardwareProfile(), std::string(79, 'p'));
}

TEST_F(NamesTest, NothingWrittenGivesEmptyText) {
  m.computer_name = std::string(100, 'c');  // does not fit with its NUL
  m.user_name.reset();
  m.hardware_profile_name.reset();
  EXPECT_EQ(os.ComputerName(), "");
  EXPECT_EQ(os.UserName(), "");
  EXPECT_EQ(os.CurrentHardwareProfile(), "");
  EXPECT_TRUE(m.message_boxes.empty());
}

TEST_F(NamesTest, TempPathAndItsUntouchedBuffer) {
  EXPECT_EQ(os.TempPath(), "C:\\WINDOWS\\TEMP\\");
  m.temp_path = "C:\\" + std::string(260, 't') + "\\";
  EXPECT_EQ(os.TempPath(), std::string(255, ' '));
}

// The name is formed in the temporary folder with the number 1; Windows takes no folder longer
// than MAX_PATH - 14 characters, and the buffer it then did not write is its 255 blanks.
TEST_F(NamesTest, TempFileIsANameInTheTemporaryFolder) {
  EXPECT_EQ(os.TempFile("sondrel"), "C:\\WINDOWS\\TEMP\\son1.TMP");
  m.temp_path = "C:\\" + std::string(242, 't') + "\\";
  ASSERT_EQ(m.temp_path->size(), 246u);
  EXPECT_EQ(os.TempFile("abc"), std::string(255, ' ')) << "the folder does not exist";
  sim::AddFolder("C:\\" + std::string(242, 't'));
  EXPECT_EQ(os.TempFile("abc"), *m.temp_path + "abc1.TMP");
  m.temp_path = "C:\\" + std::string(243, 't') + "\\";
  sim::AddFolder("C:\\" + std::string(243, 't'));
  EXPECT_EQ(os.TempFile("abc"), std::string(255, ' '));
}

TEST_F(NamesTest, GuidInRegistryForm) {
  m.next_guids = {{0x0000ABCD, 0x0001, 0x00F0, {0, 1, 2, 3, 4, 5, 6, 7}},
                  {0xFFFFFFFF, 0xFFFF, 0x8000, {0xFF, 0xA0, 0x0B, 0, 0, 0, 0, 0x10}}};
  EXPECT_EQ(os.GUID(), "{0000ABCD-0001-00F0-0001-020304050607}");
  EXPECT_EQ(os.GUID(), "{FFFFFFFF-FFFF-8000-FFA0-0B0000000010}");
  EXPECT_EQ(os.GUID(), "{00000000-0000-0000-0000-000000000000}") << "a failed call";
}

TEST_F(NamesTest, GuidsThatDifferHaveDifferentTexts) {
  m.next_guids = {{0, 0, 0, {0x01, 0x23}}, {0, 0, 0, {0x12, 0x03}}};
  EXPECT_NE(os.GUID(), os.GUID());
}

TEST_F(NamesTest, DefaultNamesFromTheSetupKey) {
  EXPECT_EQ(os.DefaultCompanyName(), "") << "key missing";
  // Each value as the registry reader gives it as text, whatever its type.
  sim::SetString(platform::kHkeyCurrentUser, kUserInfo, "DefCompany", "Sondrel S.r.l.");
  sim::SetDword(platform::kHkeyCurrentUser, kUserInfo, "DefName", 42);
  EXPECT_EQ(os.DefaultCompanyName(), "Sondrel S.r.l.");
  EXPECT_EQ(os.DefaultUserName(), "42");
  sim::SetString(platform::kHkeyLocalMachine, kUserInfo, "DefCompany", "machine-wide");
  sim::SetValue(platform::kHkeyCurrentUser, kUserInfo, "DefCompany", {platform::kRegSz, {}});
  EXPECT_EQ(os.DefaultCompanyName(), "") << "only the user's own key counts";
}

// The name is handed on as given. The system takes it for its next start when it has at most
// 15 characters of the standard set (Windows 9x changes the others) and, on NT, the user is an
// administrator.
TEST_F(NamesTest, ComputerNameWriteIsTakenAtTheNextStart) {
  using sim::WindowsFamily;
  const struct {
    WindowsFamily family;
    bool administrator;
    std::string name;
    bool taken;
  } cases[] = {
      {WindowsFamily::kNt, true, "NUOVO-PC_1", true},
      {WindowsFamily::kNt, true, "{A}!@#$%^&')(.~", true},
      {WindowsFamily::kNt, true, std::string(15, 'N'), true},
      {WindowsFamily::kNt, true, std::string(16, 'N'), false},
      {WindowsFamily::kNt, true, "", false},
      {WindowsFamily::kNt, true, "NUOVO PC", false},
      {WindowsFamily::kNt, true, "NUOVO*", false},
      {WindowsFamily::kNt4, true, "NUOVO PC", false},
      {WindowsFamily::kNt, false, "NUOVO", false},
      {WindowsFamily::kNt4, false, "NUOVO", false},
      {WindowsFamily::k9x, false, "NUOVO PC", true},
      {WindowsFamily::k9x, false, std::string(16, 'N'), false},
  };
  for (const auto& c : cases) {
    sim::Reset();
    m.family = c.family;
    m.administrator = c.administrator;
    os.ComputerName(c.name);
    EXPECT_EQ(m.computer_name_at_next_start, c.taken ? std::optional(c.name) : std::nullopt)
        << "\"" << c.name << "\" in family " << static_cast<int>(c.family);
    EXPECT_TRUE(m.message_boxes.empty());
  }
}

}  // namespace
