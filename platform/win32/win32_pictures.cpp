#include "platform/win32/win32_pictures.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "platform/gif/gif_image.h"
#include "platform/win32/picture_shrink.h"
#include "platform/win32/scoped_win.h"

namespace win32 {

namespace {

std::optional<gif::GifImage> DecodeResource(const std::string& name) {
  HRSRC resource = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (resource == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return std::nullopt;
  return gif::DecodeGif(static_cast<const uint8_t*>(bytes), SizeofResource(nullptr, resource));
}

// 32-bit DIB pixels are 0x00RRGGBB.
uint32_t ButtonFace() {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  return uint32_t{GetRValue(face)} << 16 | uint32_t{GetGValue(face)} << 8 | GetBValue(face);
}

ScopedGdiObj<HBITMAP> ToBitmap(const std::vector<uint32_t>& pixels, int side) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = side;
  format.bmiHeader.biHeight = -side;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;

  ScopedGetDC screen;
  ScopedMemDC memory(screen.get());
  ScopedGdiObj<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), side, side));
  if (memory.get() == nullptr || bitmap.get() == nullptr) return {};
  ScopedSelectObject selected(memory.get(), bitmap.get());
  SetStretchBltMode(memory.get(), COLORONCOLOR);
  StretchDIBits(memory.get(), 0, 0, side, side, 0, 0, side, side, pixels.data(), &format,
                DIB_RGB_COLORS, SRCCOPY);
  return bitmap;
}

// The picture named `name` at `wanted` pixels, shrunk from the kept side it is made from; at the
// largest kept side when that is smaller still.
struct OnePicture {
  OnePicture(const char* name, int wanted) {
    const int kept = KeptSideFor(wanted);
    std::optional<gif::GifImage> image = DecodeResource(name + std::to_string(kept));
    if (!image || image->width != kept || image->height != kept) return;
    // The transparent colour shows the button face beneath, also where a shrunk picture's
    // pixels take in some of it.
    const uint32_t face = ButtonFace();
    for (uint32_t& pixel : image->pixels)
      pixel = (pixel & gif::kGifOpaque) != 0 ? pixel & 0x00FFFFFF : face;
    side = std::min(wanted, kept);
    bitmap = ToBitmap(side < kept ? ShrinkSquare(image->pixels, kept, side) : image->pixels, side);
  }
  ScopedGdiObj<HBITMAP> bitmap;
  int side = 0;
};

struct ComposedPictures {
  explicit ComposedPictures(int wanted) : side(wanted) {}
  int side;
  OnePicture cross{"CROSS", side};
  OnePicture tick{"TICK", side};
};

std::optional<ComposedPictures>& Composed() {
  static std::optional<ComposedPictures> composed;
  return composed;
}

}  // namespace

int PictureSide(int dpi) {
  return std::max(1, static_cast<int>(std::lround(kPictureSideAt96Dpi * dpi / 96.0)));
}

int KeptSideFor(int side) {
  for (const int kept : kPictureSides) {
    if (kept >= side) return kept;
  }
  return std::end(kPictureSides)[-1];
}

ComposedPicture PictureBitmap(platform::toolkit::Picture picture, int side) {
  using platform::toolkit::Picture;
  std::optional<ComposedPictures>& composed = Composed();
  if (!composed || composed->side != side) composed.emplace(side);
  const OnePicture* shown = nullptr;
  switch (picture) {
    case Picture::Cross:
      shown = &composed->cross;
      break;
    case Picture::Tick:
      shown = &composed->tick;
      break;
    case Picture::None:
      break;
  }
  if (shown == nullptr || shown->bitmap.get() == nullptr) return {};
  return {shown->bitmap.get(), shown->side};
}

void RecomposePictures() { Composed().reset(); }

}  // namespace win32
