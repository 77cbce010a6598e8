// The tick and the cross are composed over the button face at the size the screen's dpi asks
// for: the kept picture of that size, or the next larger one shrunk. When the system colours
// change, the window hears of it and composes them again, so no square of the old face stays
// around them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_pictures.h"
#include "report_window/frmMain.h"

namespace {

using platform::toolkit::Picture;

constexpr Picture kPictures[] = {Picture::Cross, Picture::Tick};

const char* NameOf(Picture picture) { return picture == Picture::Cross ? "cross" : "tick"; }

// Sides between the kept ones and beyond them at both ends, which are made by shrinking.
constexpr int kShrunkSides[] = {24, 36, 44, 60, 72, 100, 112};

// A composed picture's pixels as 0x00RRGGBB, top row first.
std::vector<uint32_t> Pixels(const win32::ComposedPicture& picture) {
  EXPECT_NE(picture.bitmap, nullptr);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = picture.side;
  format.bmiHeader.biHeight = -picture.side;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(size_t(picture.side) * size_t(picture.side));
  const win32::ScopedGetDC screen;
  const int rows = GetDIBits(screen.get(), picture.bitmap, 0, UINT(picture.side), pixels.data(),
                             &format, DIB_RGB_COLORS);
  EXPECT_EQ(rows, picture.side);
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

// The bounds of the pixels that show the mark or its shadow: those more than a little unlike
// the face, so that a shrunk picture's pixels that take in a sliver of the mark do not count.
struct Box {
  int left, top, right, bottom;  // right and bottom one past the last
};

bool Drawn(uint32_t pixel, uint32_t face) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(int((pixel >> shift) & 0xFF) - int((face >> shift) & 0xFF)) > 32) return true;
  }
  return false;
}

Box DrawnPart(const std::vector<uint32_t>& pixels, int side, uint32_t face) {
  Box box{side, side, 0, 0};
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      if (!Drawn(pixels[size_t(y) * size_t(side) + size_t(x)], face)) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
             std::max(box.bottom, y + 1)};
    }
  return box;
}

TEST(PictureSizes, TheSideFollowsTheDpi) {
  struct Case {
    int dpi, side;
  };
  for (const Case c :
       {Case{96, 32}, Case{120, 40}, Case{144, 48}, Case{168, 56}, Case{192, 64}, Case{240, 80},
        Case{288, 96}, Case{384, 128}, Case{72, 24}, Case{100, 33}, Case{110, 37}, Case{1, 1}}) {
    EXPECT_EQ(win32::PictureSide(c.dpi), c.side) << c.dpi << " dpi";
  }
}

TEST(PictureSizes, APictureIsMadeFromTheSmallestKeptSideAtLeastAsBig) {
  struct Case {
    int side, kept;
  };
  for (const Case c :
       {Case{1, 32}, Case{24, 32}, Case{32, 32}, Case{33, 40}, Case{40, 40}, Case{41, 48},
        Case{49, 56}, Case{57, 64}, Case{65, 80}, Case{81, 96}, Case{97, 128}, Case{128, 128}}) {
    EXPECT_EQ(win32::KeptSideFor(c.side), c.kept) << c.side << " pixels";
  }
}

TEST(PictureSizes, APictureIsNeverEnlarged) {
  for (const Picture picture : kPictures) {
    for (const int side : {129, 160, 256}) {
      const win32::ComposedPicture composed = win32::PictureBitmap(picture, side);
      EXPECT_NE(composed.bitmap, nullptr);
      EXPECT_EQ(composed.side, 128) << NameOf(picture) << " asked at " << side;
    }
  }
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
  if (!IS_INTRESOURCE(name)) reinterpret_cast<std::set<std::string>*>(names)->insert(name);
  return TRUE;
}

// The pictures in the module are exactly the kept ones, each as big as its name says.
TEST(PictureSizes, EveryKeptPictureIsEmbeddedAtItsSide) {
  std::set<std::string> embedded, kept;
  EnumResourceNamesA(nullptr, MAKEINTRESOURCEA(10), AddName, LONG_PTR(&embedded));  // RT_RCDATA
  for (const int side : win32::kPictureSides) {
    kept.insert("CROSS" + std::to_string(side));
    kept.insert("TICK" + std::to_string(side));
    for (const Picture picture : kPictures) {
      const win32::ComposedPicture composed = win32::PictureBitmap(picture, side);
      ASSERT_NE(composed.bitmap, nullptr) << NameOf(picture) << " at " << side;
      BITMAP shape{};
      ASSERT_NE(GetObjectA(composed.bitmap, sizeof shape, &shape), 0);
      EXPECT_EQ(composed.side, side);
      EXPECT_EQ(shape.bmWidth, side) << NameOf(picture);
      EXPECT_EQ(shape.bmHeight, side) << NameOf(picture);
    }
  }
  EXPECT_EQ(embedded, kept);
}

// How far the mark and its shadow reach across a square, and how far the middle of what they
// cover lies from the square's middle, in pixels.
struct Spread {
  double width, height, x, y;
};

Spread SpreadOf(const win32::ComposedPicture& picture, uint32_t face) {
  const Box box = DrawnPart(Pixels(picture), picture.side, face);
  return {double(box.right - box.left), double(box.bottom - box.top),
          (box.left + box.right - picture.side) / 2.0, (box.top + box.bottom - picture.side) / 2.0};
}

void ExpectSpreadLike(const Spread& actual, const Spread& model, double scale,
                      double span_tolerance) {
  EXPECT_NEAR(actual.width, model.width * scale, span_tolerance);
  EXPECT_NEAR(actual.height, model.height * scale, span_tolerance);
  EXPECT_NEAR(actual.x, model.x * scale, 1.0);
  EXPECT_NEAR(actual.y, model.y * scale, 1.0);
}

// Each kept size, drawn afresh, covers its square as the 96-dpi picture covers its own: it
// spans the same share of it and lies in the same place, to within a pixel.
TEST(PictureSizes, EveryKeptSizeCoversItsSquareAsThe96DpiPictureDoes) {
  const uint32_t face = AsRgb(GetSysColor(COLOR_BTNFACE));
  const int base_side = win32::kPictureSideAt96Dpi;
  for (const Picture picture : kPictures) {
    const Spread base = SpreadOf(win32::PictureBitmap(picture, base_side), face);
    ASSERT_GT(base.width, 0) << NameOf(picture) << " shows nothing";
    for (const int side : win32::kPictureSides) {
      SCOPED_TRACE(std::string(NameOf(picture)) + " at " + std::to_string(side));
      ExpectSpreadLike(SpreadOf(win32::PictureBitmap(picture, side), face), base,
                       double(side) / base_side, 1.0);
    }
  }
}

// Shrinking moves nothing: a shrunk picture covers its square as the kept one it is made from
// covers its own, but for a pixel the mark covers only in part at either end of its span.
TEST(PictureSizes, AShrunkPictureCoversItsSquareAsTheKeptOneItIsMadeFrom) {
  const uint32_t face = AsRgb(GetSysColor(COLOR_BTNFACE));
  for (const Picture picture : kPictures) {
    for (const int side : kShrunkSides) {
      SCOPED_TRACE(std::string(NameOf(picture)) + " at " + std::to_string(side));
      const int kept = win32::KeptSideFor(side);
      const Spread model = SpreadOf(win32::PictureBitmap(picture, kept), face);
      const win32::ComposedPicture shrunk = win32::PictureBitmap(picture, side);
      ASSERT_EQ(shrunk.side, side);
      ExpectSpreadLike(SpreadOf(shrunk, face), model, double(side) / kept, 1.5);
    }
  }
}

// The old face turns into the new one; every pixel of a kept picture itself stays, and a
// shrunk picture shows the old face nowhere.
void ExpectComposedOverTheNewFace(int side, COLORREF old_face, COLORREF new_face) {
  const bool kept = win32::KeptSideFor(side) == side;
  for (const Picture picture : kPictures) {
    SCOPED_TRACE(std::string(NameOf(picture)) + " at " + std::to_string(side));
    SetButtonFace(old_face);
    win32::RecomposePictures();
    const std::vector<uint32_t> before = Pixels(win32::PictureBitmap(picture, side));
    SetButtonFace(new_face);  // the form's window is told of it
    const std::vector<uint32_t> after = Pixels(win32::PictureBitmap(picture, side));
    ASSERT_EQ(after.size(), before.size());
    size_t ground = 0, wrong = 0;
    for (size_t i = 0; i < after.size(); ++i) {
      const bool was_ground = before[i] == AsRgb(old_face);
      ground += was_ground;
      if (was_ground || kept)
        wrong += after[i] != (was_ground ? AsRgb(new_face) : before[i]);
      else
        wrong += after[i] == AsRgb(old_face);
    }
    EXPECT_GT(ground, 0u) << "the picture shows the face around it";
    EXPECT_EQ(wrong, 0u);
  }
}

TEST(PictureColours, AColourChangeComposesThePicturesOverTheNewFace) {
  const frmMain form;  // its window is told of the change
  const SavedButtonFace face;
  const COLORREF new_face = RGB(0x20, 0x80, 0xE0);
  ASSERT_NE(AsRgb(face.Get()), AsRgb(new_face));
  for (const int side : win32::kPictureSides)
    ExpectComposedOverTheNewFace(side, face.Get(), new_face);
  for (const int side : kShrunkSides) ExpectComposedOverTheNewFace(side, face.Get(), new_face);
}

}  // namespace
