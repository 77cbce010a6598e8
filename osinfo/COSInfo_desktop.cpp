// The display and desktop settings of COSInfo.
#include "osinfo/COSInfo.h"
#include "support/procedure_error.h"
#include "support/scoped_handle.h"

namespace {

constexpr int32_t kLargeFontsPixelsPerInch = 120;

int32_t ReadSetting(uint32_t action) {
  int32_t value = 0;
  platform::SystemParametersInfoA(action, 0, &value, 0);
  return value;
}

// Announced to running programs but not stored in the user's profile.
void WriteSetting(uint32_t action, uint32_t value) {
  int32_t unused = 0;
  platform::SystemParametersInfoA(action, value, &unused, platform::kSpifSendChange);
}

// True travels as -1, all bits set.
uint32_t FlagParameter(bool flag) { return flag ? 0xFFFFFFFFu : 0u; }

int32_t ScreenPixelsPerInch() {
  const support::ScopedDeviceContext screen(platform::kNoWindow);
  return platform::GetDeviceCaps(screen.get(), platform::kLogPixelsX);
}

}  // namespace

bool COSInfo::Beep() const {
  return runtime::Trapped<bool>(
      "Beep", [](bool& result) { result = ReadSetting(platform::kSpiGetBeep) != 0; });
}

void COSInfo::Beep(bool fValue) const {
  runtime::TrappedCall("Beep", [=] { WriteSetting(platform::kSpiSetBeep, FlagParameter(fValue)); });
}

bool COSInfo::LargeFonts() const {
  return runtime::Trapped<bool>("LargeFonts", [](bool& result) {
    result = ScreenPixelsPerInch() == kLargeFontsPixelsPerInch;
  });
}

bool COSInfo::ScreenSaverActive() const {
  return runtime::Trapped<bool>("ScreenSaverActive", [](bool& result) {
    result = ReadSetting(platform::kSpiGetScreenSaveActive) != 0;
  });
}

void COSInfo::ScreenSaverActive(bool fValue) const {
  runtime::TrappedCall("ScreenSaverActive", [=] {
    WriteSetting(platform::kSpiSetScreenSaveActive, FlagParameter(fValue));
  });
}

int32_t COSInfo::ScreenSaverTimeout() const {
  return runtime::Trapped<int32_t>("ScreenSaverTimeout", [](int32_t& result) {
    result = ReadSetting(platform::kSpiGetScreenSaveTimeout);
  });
}

void COSInfo::ScreenSaverTimeout(int32_t lngValue) const {
  runtime::TrappedCall("ScreenSaverTimeout", [=] {
    WriteSetting(platform::kSpiSetScreenSaveTimeout, static_cast<uint32_t>(lngValue));
  });
}

// The parameters are written inside the trapped body, which the analysers do not follow.
// cppcheck-suppress constParameter
void COSInfo::GetWorkArea(int16_t& intLeft, int16_t& intTop, int16_t& intWidth,
                          // cppcheck-suppress constParameter
                          int16_t& intHeight) const {
  runtime::TrappedCall("GetWorkArea", [&] {
    platform::RECT area{};
    platform::SystemParametersInfoA(platform::kSpiGetWorkArea, 0, &area, 0);
    using runtime::CheckedNarrow;
    intLeft = CheckedNarrow<int16_t>(area.left);
    intTop = CheckedNarrow<int16_t>(area.top);
    intWidth =
        CheckedNarrow<int16_t>(CheckedNarrow<int32_t>(int64_t{area.right} - int64_t{area.left}));
    intHeight =
        CheckedNarrow<int16_t>(CheckedNarrow<int32_t>(int64_t{area.bottom} - int64_t{area.top}));
  });
}
