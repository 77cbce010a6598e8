// The tick and the cross are composed over the button face. When the system colours change, the
// window hears of it and composes them again, so no square of the old face stays around them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_pictures.h"
#include "report_window/frmMain.h"

namespace {

using platform::toolkit::Picture;

// A picture's pixels as 0x00RRGGBB, top row first.
std::vector<uint32_t> Pixels(HBITMAP bitmap) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = win32::kPicturePixels;
  format.bmiHeader.biHeight = -win32::kPicturePixels;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(win32::kPicturePixels * win32::kPicturePixels);
  const win32::ScopedGetDC screen;
  const int rows = GetDIBits(screen.get(), bitmap, 0, win32::kPicturePixels, pixels.data(), &format,
                             DIB_RGB_COLORS);
  EXPECT_EQ(rows, win32::kPicturePixels);
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

uint32_t AsRgb(COLORREF colour) {
  return uint32_t{GetRValue(colour)} << 16 | uint32_t{GetGValue(colour)} << 8 | GetBValue(colour);
}

void SetButtonFace(COLORREF colour) {
  const INT element = COLOR_BTNFACE;
  SetSysColors(1, &element, &colour);
}

// The button face as it was, put back on every way out.
class SavedButtonFace {
 public:
  SavedButtonFace() = default;
  SavedButtonFace(const SavedButtonFace&) = delete;
  SavedButtonFace& operator=(const SavedButtonFace&) = delete;
  ~SavedButtonFace() { SetButtonFace(saved_); }
  COLORREF Get() const { return saved_; }

 private:
  COLORREF saved_ = GetSysColor(COLOR_BTNFACE);
};

TEST(PictureColours, AColourChangeComposesThePicturesOverTheNewFace) {
  const frmMain form;  // its window is told of the change
  const SavedButtonFace face;
  const uint32_t old_face = AsRgb(face.Get());
  const COLORREF new_face = RGB(0x20, 0x80, 0xE0);
  ASSERT_NE(old_face, AsRgb(new_face));
  const Picture pictures[] = {Picture::Cross, Picture::Tick};
  win32::RecomposePictures();
  std::vector<std::vector<uint32_t>> before;
  for (const Picture picture : pictures) before.push_back(Pixels(win32::PictureBitmap(picture)));
  SetButtonFace(new_face);
  for (size_t p = 0; p < before.size(); ++p) {
    SCOPED_TRACE(pictures[p] == Picture::Cross ? "cross" : "tick");
    const std::vector<uint32_t> after = Pixels(win32::PictureBitmap(pictures[p]));
    // The old face turns into the new one; every pixel of the picture itself stays.
    size_t ground = 0, wrong = 0;
    for (size_t i = 0; i < after.size(); ++i) {
      const bool was_ground = before[p][i] == old_face;
      ground += was_ground;
      wrong += after[i] != (was_ground ? AsRgb(new_face) : before[p][i]);
    }
    EXPECT_GT(ground, 0u) << "the picture shows the face around it";
    EXPECT_EQ(wrong, 0u);
  }
}

}  // namespace
