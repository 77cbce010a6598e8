// The display and desktop settings of COSInfo against the system's own answers. The setters
// announce a change without storing it in the user's profile: Wine keeps such a change in a
// volatile key of its own, HKCU\Software\Wine\Temporary System Parameters, beside the stored
// values under HKCU\Control Panel. Every setting is put back as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "osinfo/COSInfo.h"
#include "win32_test_support.h"

namespace {

using win32_test::SavedValue;

constexpr char kTemporary[] = "Software\\Wine\\Temporary System Parameters\\";

int SystemSetting(UINT action) {
  int value = 0;
  SystemParametersInfoA(action, 0, &value, 0);
  return value;
}

void ChangeSetting(UINT action, UINT value) {
  int unused = 0;
  SystemParametersInfoA(action, value, &unused, SPIF_SENDCHANGE);
}

// A value's data as text, or "(none)" when the value does not exist.
std::string ValueData(const std::string& path, const std::string& name) {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!win32_test::ReadValue(HKEY_CURRENT_USER, path, name, &type, &data)) return "(none)";
  return std::to_string(type) + ":" + std::string(data.begin(), data.end());
}

// One setting: its stored value in the user's profile, the volatile copy Wine keeps of an
// announced change, and its value when the test began, all put back at the end.
struct Setting {
  Setting(UINT get, UINT set, const std::string& path, const std::string& name)
      : get_action(get),
        set_action(set),
        path(path),
        name(name),
        original(SystemSetting(get)),
        stored(HKEY_CURRENT_USER, path, name),
        temporary(HKEY_CURRENT_USER, kTemporary + path, name),
        stored_data(ValueData(path, name)) {}
  Setting(const Setting&) = delete;
  Setting& operator=(const Setting&) = delete;
  ~Setting() { ChangeSetting(set_action, static_cast<UINT>(original)); }

  UINT get_action;
  UINT set_action;
  std::string path;
  std::string name;
  int original;
  // The destructor's body undoes the change first; these then put the registry back.
  SavedValue stored;
  SavedValue temporary;
  std::string stored_data;
};

class COSInfoDesktopTest : public win32_test::NoDialogTest {
 protected:
  // The stored profile value must read as it did before the test.
  static void ExpectStoredValueUntouched(const Setting& setting) {
    EXPECT_EQ(ValueData(setting.path, setting.name), setting.stored_data)
        << "HKCU\\" << setting.path << " " << setting.name << " was written";
  }

  const COSInfo info_{};
};

TEST_F(COSInfoDesktopTest, BeepSetterChangesTheSettingButNotTheProfile) {
  const Setting beep(SPI_GETBEEP, SPI_SETBEEP, "Control Panel\\Sound", "Beep");
  EXPECT_EQ(info_.Beep(), beep.original != 0);
  for (const bool value : {beep.original == 0, beep.original != 0, false, true}) {
    SCOPED_TRACE(value ? "on" : "off");
    info_.Beep(value);
    EXPECT_EQ(info_.Beep(), value);
    EXPECT_EQ(SystemSetting(SPI_GETBEEP) != 0, value) << "the system's own answer";
    EXPECT_EQ(ValueData(kTemporary + beep.path, beep.name),
              std::to_string(REG_SZ) + ":" + (value ? "Yes" : "No") + '\0')
        << "where Wine keeps the announced change";
    ExpectStoredValueUntouched(beep);
  }
}

TEST_F(COSInfoDesktopTest, ScreenSaverActiveSetterChangesTheSettingButNotTheProfile) {
  const Setting active(SPI_GETSCREENSAVEACTIVE, SPI_SETSCREENSAVEACTIVE, "Control Panel\\Desktop",
                       "ScreenSaveActive");
  EXPECT_EQ(info_.ScreenSaverActive(), active.original != 0);
  for (const bool value : {active.original == 0, active.original != 0, false, true}) {
    SCOPED_TRACE(value ? "enabled" : "disabled");
    info_.ScreenSaverActive(value);
    EXPECT_EQ(info_.ScreenSaverActive(), value);
    EXPECT_EQ(SystemSetting(SPI_GETSCREENSAVEACTIVE) != 0, value);
    EXPECT_EQ(ValueData(kTemporary + active.path, active.name),
              std::to_string(REG_SZ) + ":" + (value ? "1" : "0") + '\0');
    ExpectStoredValueUntouched(active);
  }
}

TEST_F(COSInfoDesktopTest, ScreenSaverTimeoutSetterChangesTheSettingButNotTheProfile) {
  const Setting timeout(SPI_GETSCREENSAVETIMEOUT, SPI_SETSCREENSAVETIMEOUT,
                        "Control Panel\\Desktop", "ScreenSaveTimeOut");
  EXPECT_EQ(info_.ScreenSaverTimeout(), timeout.original);
  for (const int32_t seconds : {600, 1, 3600, 86400, timeout.original}) {
    SCOPED_TRACE(seconds);
    info_.ScreenSaverTimeout(seconds);
    EXPECT_EQ(info_.ScreenSaverTimeout(), seconds);
    EXPECT_EQ(SystemSetting(SPI_GETSCREENSAVETIMEOUT), seconds);
    EXPECT_EQ(ValueData(kTemporary + timeout.path, timeout.name),
              std::to_string(REG_SZ) + ":" + std::to_string(seconds) + '\0');
    ExpectStoredValueUntouched(timeout);
  }
}

// A setting changed by some other program is what the getter reports next.
TEST_F(COSInfoDesktopTest, GettersReadTheSystemsCurrentSetting) {
  const Setting beep(SPI_GETBEEP, SPI_SETBEEP, "Control Panel\\Sound", "Beep");
  const Setting timeout(SPI_GETSCREENSAVETIMEOUT, SPI_SETSCREENSAVETIMEOUT,
                        "Control Panel\\Desktop", "ScreenSaveTimeOut");
  for (const bool value : {false, true}) {
    ChangeSetting(SPI_SETBEEP, value);
    EXPECT_EQ(info_.Beep(), value);
  }
  for (const UINT seconds : {120u, 900u}) {
    ChangeSetting(SPI_SETSCREENSAVETIMEOUT, seconds);
    EXPECT_EQ(info_.ScreenSaverTimeout(), static_cast<int32_t>(seconds));
  }
}

int ScreenPixelsPerInch() {
  const win32::ScopedGetDC screen;
  return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

// The test prefix runs at 96 pixels per inch. 120 would need the Wine server restarted with
// another LogPixels, which ends every program of the prefix, this one too.
TEST_F(COSInfoDesktopTest, LargeFontsAtTheScreensPixelsPerInch) {
  const int pixels = ScreenPixelsPerInch();
  EXPECT_EQ(pixels, 96) << "the test prefix's setting";
  EXPECT_EQ(info_.LargeFonts(), pixels == 120);
}

// The context the system hands out for the screen now, given back at once. The system hands the
// same one out again once it was released, and another one while it is still held.
HDC NextScreenContext() { return win32::ScopedGetDC().get(); }

TEST_F(COSInfoDesktopTest, LargeFontsReleasesTheScreensContext) {
  const HDC free_context = NextScreenContext();
  ASSERT_EQ(NextScreenContext(), free_context);
  for (int i = 0; i < 3; ++i) info_.LargeFonts();
  EXPECT_EQ(NextScreenContext(), free_context) << "the context was not released";

  const win32::ScopedGetDC held;
  EXPECT_NE(NextScreenContext(), free_context) << "a context still held shows";
}

TEST_F(COSInfoDesktopTest, WorkAreaIsTheSystemsWorkArea) {
  RECT area{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
  // Values no work area has, so that each parameter is seen to be written.
  int16_t left = -12345, top = -12345, width = -12345, height = -12345;
  info_.GetWorkArea(left, top, width, height);
  EXPECT_EQ(left, area.left);
  EXPECT_EQ(top, area.top);
  EXPECT_EQ(width, area.right - area.left);
  EXPECT_EQ(height, area.bottom - area.top);
  EXPECT_GT(width, 0);
  EXPECT_GT(height, 0);
  EXPECT_LE(width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(height, GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
