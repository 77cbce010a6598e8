#include "osinfo/COSInfo.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/sim_machine.h"

namespace {

class COSInfoTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  sim::Machine& m = sim::machine();
  COSInfo os;
};

TEST_F(COSInfoTest, VersionFieldsAndTheBuildMask) {
  m.version = {false, 4, 10, 0x040A08AE, 1, " A "};
  EXPECT_EQ(os.WindowsType(), 1);
  EXPECT_EQ(os.OSMajorVersion(), 4);
  EXPECT_EQ(os.OSMinorVersion(), 10);
  EXPECT_EQ(os.OSBuild(), 2222);
  EXPECT_EQ(os.OSAdditional(), " A ");  // spaces kept
  m.version.build = 0x00008001;
  EXPECT_EQ(os.OSBuild(), 1) << "bits above 14 are dropped on every family";
}

TEST_F(COSInfoTest, FailedVersionQueryGivesZerosAndEmptyText) {
  m.version.fails = true;
  EXPECT_EQ(os.WindowsType(), 0);
  EXPECT_EQ(os.OSMajorVersion(), 0);
  EXPECT_EQ(os.OSBuild(), 0);
  EXPECT_EQ(os.OSAdditional(), "");
  EXPECT_TRUE(m.message_boxes.empty()) << "a failing query is not an error";
}

TEST_F(COSInfoTest, EachReadIsAFreshQuery) {
  os.WindowsType();
  os.WindowsType();
  EXPECT_EQ(std::count(m.calls.begin(), m.calls.end(), "GetVersionExA"), 2);
}

TEST_F(COSInfoTest, FoldersAsThePlatformWritesThem) {
  m.system_directory = "C:\\WINDOWS\\System32\\";
  EXPECT_EQ(os.SystemDirectory(), "C:\\WINDOWS\\System32\\");
  m.system_directory.reset();
  m.windows_directory.reset();
  EXPECT_EQ(os.SystemDirectory(), "");
  EXPECT_EQ(os.WindowsDirectory(), "");
  m.windows_directory = std::string(300, 'x');  // longer than the buffer: nothing written
  EXPECT_EQ(os.WindowsDirectory(), "");
}

TEST_F(COSInfoTest, LanguageIsTheEnglishNameOrTheUntouchedBuffer) {
  EXPECT_EQ(os.Language(), "Italian");
  m.user_lcid = 0x0407;  // a locale the platform cannot name
  EXPECT_EQ(os.Language(), std::string(100, ' '));
}

TEST_F(COSInfoTest, DisplayColorsByDepth) {
  struct Case {
    int32_t bits, planes, colours;
  } cases[] = {{0, 1, 1},      {1, 1, 2},         {4, 1, 16},  {8, 1, 256}, {15, 1, 32768},
               {16, 1, 65536}, {24, 1, 16777216}, {32, 1, -1}, {8, 4, -1},  {1, 4, 16}};
  for (const Case& c : cases) {
    m.bits_per_pixel = c.bits;
    m.planes = c.planes;
    EXPECT_EQ(os.DisplayColors(), c.colours) << c.bits << " bits x " << c.planes;
  }
  EXPECT_TRUE(m.message_boxes.empty());
  EXPECT_TRUE(m.open_device_contexts.empty());
}

TEST_F(COSInfoTest, DisplayColorsOverflowIsReportedAndTheContextReleased) {
  sim::ExpectMessageBoxes();
  for (int32_t bits : {31, 33, 64, 0x7FFFFFFF}) {
    m.message_boxes.clear();
    m.bits_per_pixel = bits;
    m.planes = bits == 0x7FFFFFFF ? 2 : 1;  // the last one overflows the product itself
    EXPECT_EQ(os.DisplayColors(), 0) << bits;
    ASSERT_EQ(m.message_boxes.size(), 1u) << bits;
    EXPECT_EQ(m.message_boxes[0].caption, "DisplayColors");
    EXPECT_EQ(m.message_boxes[0].text, "Error: 6. Overflow");
    EXPECT_TRUE(m.open_device_contexts.empty());
  }
}

// Without a device context there is nothing to read, and what GetDC gave is handed back even so.
TEST_F(COSInfoTest, DisplayColorsWithoutADeviceContext) {
  m.device_context_refused = true;
  EXPECT_EQ(os.DisplayColors(), 1);  // no bits in no planes
  EXPECT_EQ(std::count(m.calls.begin(), m.calls.end(), "ReleaseDC"), 1);
  EXPECT_TRUE(m.message_boxes.empty());
}

TEST_F(COSInfoTest, CsdTextIsCutAtItsNul) {
  m.version.csd = "Service Pack 4";
  EXPECT_EQ(os.OSAdditional(), "Service Pack 4");
  m.version.csd = std::string(200, 'z');  // the record holds 127 characters and a NUL
  EXPECT_EQ(os.OSAdditional(), std::string(127, 'z'));
  m.version.csd = "";
  EXPECT_EQ(os.OSAdditional(), "");
}

}  // namespace
