#include <gtest/gtest.h>

#include "osinfo/COSInfo.h"
#include "platform/sim/sim_machine.h"

namespace {

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  const sim::SystemParametersCall& LastCall() { return m.system_parameters_calls.back(); }
  sim::Machine& m = sim::machine();
  COSInfo os;
};

TEST_F(DesktopTest, ReadsTakeAnySettingButZeroAsOn) {
  m.beep = 1;
  m.screen_saver_active = 0;
  EXPECT_TRUE(os.Beep());
  EXPECT_FALSE(os.ScreenSaverActive());
  m.beep = 0;
  m.screen_saver_active = -7;
  EXPECT_FALSE(os.Beep());
  EXPECT_TRUE(os.ScreenSaverActive());
  m.screen_saver_timeout = 600;
  EXPECT_EQ(os.ScreenSaverTimeout(), 600);
  for (const auto& call : m.system_parameters_calls) {
    EXPECT_EQ(call.ui_param, 0u);
    EXPECT_EQ(call.pv_value, 0) << "the target starts at 0";
    EXPECT_EQ(call.win_ini, 0u);
  }
}

TEST_F(DesktopTest, FailedReadsGiveTheTargetsZero) {
  m.beep.reset();
  m.screen_saver_active.reset();
  m.screen_saver_timeout.reset();
  EXPECT_FALSE(os.Beep());
  EXPECT_FALSE(os.ScreenSaverActive());
  EXPECT_EQ(os.ScreenSaverTimeout(), 0);
  EXPECT_TRUE(m.message_boxes.empty());
}

TEST_F(DesktopTest, WritesAnnounceButDoNotStore) {
  struct {
    void (*write)(const COSInfo&);
    uint32_t action;
    uint32_t ui_param;
  } const cases[] = {
      {[](const COSInfo& o) { o.Beep(true); }, platform::kSpiSetBeep, 0xFFFFFFFF},
      {[](const COSInfo& o) { o.Beep(false); }, platform::kSpiSetBeep, 0},
      {[](const COSInfo& o) { o.ScreenSaverActive(true); }, platform::kSpiSetScreenSaveActive,
       0xFFFFFFFF},
      {[](const COSInfo& o) { o.ScreenSaverActive(false); }, platform::kSpiSetScreenSaveActive, 0},
      {[](const COSInfo& o) { o.ScreenSaverTimeout(600); }, platform::kSpiSetScreenSaveTimeout,
       600},
      {[](const COSInfo& o) { o.ScreenSaverTimeout(-1); }, platform::kSpiSetScreenSaveTimeout,
       0xFFFFFFFF},
  };
  for (const auto& c : cases) {
    m.system_parameters_calls.clear();
    c.write(os);
    ASSERT_EQ(m.system_parameters_calls.size(), 1u) << "one call, nothing read back";
    EXPECT_EQ(LastCall().action, c.action);
    EXPECT_EQ(LastCall().ui_param, c.ui_param);
    EXPECT_EQ(LastCall().pv_value, 0);
    EXPECT_EQ(LastCall().win_ini, platform::kSpifSendChange);
  }
}

TEST_F(DesktopTest, LargeFontsIsExactly120) {
  for (const int32_t dpi : {96, 119, 120, 121, 144, 0}) {
    m.logical_pixels_x = dpi;
    EXPECT_EQ(os.LargeFonts(), dpi == 120) << dpi;
  }
  EXPECT_TRUE(m.open_device_contexts.empty());
}

TEST_F(DesktopTest, WorkAreaInPixels) {
  int16_t left = 9, top = 9, width = 9, height = 9;
  os.GetWorkArea(left, top, width, height);
  EXPECT_EQ(std::vector<int16_t>({left, top, width, height}),
            std::vector<int16_t>({0, 0, 1024, 738}));
  m.work_area = platform::RECT{-1280, -32768, 0, -32000};
  os.GetWorkArea(left, top, width, height);
  EXPECT_EQ(std::vector<int16_t>({left, top, width, height}),
            std::vector<int16_t>({-1280, -32768, 1280, 768}));
  m.work_area.reset();
  os.GetWorkArea(left, top, width, height);
  EXPECT_EQ(std::vector<int16_t>({left, top, width, height}), std::vector<int16_t>(4, 0));
  EXPECT_TRUE(m.message_boxes.empty());
}

TEST_F(DesktopTest, WorkAreaOverflowKeepsTheCallersLaterValues) {
  sim::ExpectMessageBoxes();
  struct {
    platform::RECT area;
    std::vector<int16_t> expected;
  } const cases[] = {
      {{10, 20, 40000, 700}, {10, 20, 7, 7}},
      {{0, 0, 100, 40000}, {0, 0, 100, 7}},
      {{40000, 0, 40001, 1}, {7, 7, 7, 7}},
      {{-2147483647 - 1, 0, 2147483647, 0}, {7, 7, 7, 7}},
      {{0, -30000, 10, 30000}, {0, -30000, 10, 7}},
  };
  for (const auto& c : cases) {
    m.message_boxes.clear();
    m.work_area = c.area;
    int16_t left = 7, top = 7, width = 7, height = 7;
    os.GetWorkArea(left, top, width, height);
    EXPECT_EQ(std::vector<int16_t>({left, top, width, height}), c.expected);
    ASSERT_EQ(m.message_boxes.size(), 1u);
    EXPECT_EQ(m.message_boxes[0].caption, "GetWorkArea");
    EXPECT_EQ(m.message_boxes[0].text, "Error: 6. Overflow");
  }
}

}  // namespace
