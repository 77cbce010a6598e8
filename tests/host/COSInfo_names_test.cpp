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

TEST_F(NamesTest, TempFileIsTheSameNameEveryTime) {
  EXPECT_EQ(os.TempFile("sondrel"), "C:\\WINDOWS\\TEMP\\son1.TMP");
  EXPECT_EQ(os.TempFile("sondrel"), os.TempFile("sondrel"));
  EXPECT_EQ(os.TempFile(""), "C:\\WINDOWS\\TEMP\\1.TMP");
  // A folder of 250 characters gives a name longer than the folder buffer of 255.
  m.temp_path = "C:\\" + std::string(246, 't') + "\\";
  EXPECT_EQ(os.TempFile("abc"), *m.temp_path + "abc1.TMP");
  // One too long for the name: the buffer the call did not write is its 255 blanks.
  m.temp_path = "C:\\" + std::string(250, 't') + "\\";
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
  sim::SetString(platform::kHkeyCurrentUser, kUserInfo, "DefCompany", "Sondrel S.r.l.");
  sim::SetDword(platform::kHkeyCurrentUser, kUserInfo, "DefName", 42);
  EXPECT_EQ(os.DefaultCompanyName(), "Sondrel S.r.l.");
  EXPECT_EQ(os.DefaultUserName(), "42");
  sim::SetValue(platform::kHkeyCurrentUser, kUserInfo, "DefCompany",
                {platform::kRegExpandSz, {'%', 'U', '%', 0}});
  sim::SetValue(platform::kHkeyCurrentUser, kUserInfo, "DefName",
                {platform::kRegMultiSz, {'a', 0, 0}});
  EXPECT_EQ(os.DefaultCompanyName(), "");
  EXPECT_EQ(os.DefaultUserName(), "");
  sim::SetValue(platform::kHkeyCurrentUser, kUserInfo, "DefName",
                {platform::kRegBinary, {0xCA, 0xFE}});
  EXPECT_EQ(os.DefaultUserName(), "CA FE");
  sim::SetString(platform::kHkeyLocalMachine, kUserInfo, "DefCompany", "machine-wide");
  sim::SetValue(platform::kHkeyCurrentUser, kUserInfo, "DefCompany", {platform::kRegSz, {}});
  EXPECT_EQ(os.DefaultCompanyName(), "") << "only the user's own key counts";
}

TEST_F(NamesTest, RegistryFailureIsReportedOnceByTheReader) {
  sim::SetString(platform::kHkeyCurrentUser, kUserInfo, "DefName", "Giulia");
  m.uncallable.insert("RegQueryValueExA");
  EXPECT_EQ(os.DefaultUserName(), "");
  ASSERT_EQ(m.message_boxes.size(), 1u);
  EXPECT_EQ(m.message_boxes[0].caption, "RegistryGetKeyValue");
}

TEST_F(NamesTest, ComputerNameWriteDoesNotChangeWhatIsRead) {
  os.ComputerName("NUOVO");
  EXPECT_EQ(std::count(m.calls.begin(), m.calls.end(), "SetComputerNameA"), 1);
  EXPECT_EQ(os.ComputerName(), "UFFICIO-01");
}

TEST_F(NamesTest, MissingEntryPointsReportUnderTheMembersName) {
  struct {
    const char* entry;
    const char* member;
    std::string (*read)(const COSInfo&);
  } const cases[] = {
      {"GetCurrentHwProfileA", "CurrentHardwareProfile",
       [](const COSInfo& o) { return o.CurrentHardwareProfile(); }},
      {"GetComputerNameA", "ComputerName", [](const COSInfo& o) { return o.ComputerName(); }},
      {"GetUserNameA", "UserName", [](const COSInfo& o) { return o.UserName(); }},
      {"GetTempPathA", "TempPath", [](const COSInfo& o) { return o.TempPath(); }},
      {"GetTempFileNameA", "TempFile", [](const COSInfo& o) { return o.TempFile("x"); }},
      {"CoCreateGuid", "GUID", [](const COSInfo& o) { return o.GUID(); }},
  };
  for (const auto& c : cases) {
    sim::Reset();
    m.uncallable.insert(c.entry);
    EXPECT_EQ(c.read(os), "") << c.member;
    ASSERT_EQ(m.message_boxes.size(), 1u) << c.member;
    EXPECT_EQ(m.message_boxes[0].caption, c.member);
    EXPECT_EQ(m.message_boxes[0].text,
              std::string("Error: 453. Can't find DLL entry point ") + c.entry);
  }
  sim::Reset();
  m.uncallable.insert("SetComputerNameA");
  os.ComputerName("X");
  ASSERT_EQ(m.message_boxes.size(), 1u);
  EXPECT_EQ(m.message_boxes[0].caption, "ComputerName");
}

}  // namespace
