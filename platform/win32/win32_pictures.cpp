#include "platform/win32/win32_pictures.h"

#include <optional>

#include "platform/gif/gif_image.h"
#include "platform/win32/scoped_win.h"

namespace win32 {

namespace {

std::optional<gif::GifImage> DecodeResource(const char* name) {
  HRSRC resource = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (resource == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return std::nullopt;
  return gif::DecodeGif(static_cast<const uint8_t*>(bytes), SizeofResource(nullptr, resource));
}

ScopedGdiObj<HBITMAP> Decode(const char* resource_name) {
  std::optional<gif::GifImage> image = DecodeResource(resource_name);
  if (!image) return {};
  // The transparent colour shows the button face beneath; 32-bit DIB pixels are 0x00RRGGBB.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const uint32_t face_rgb =
      uint32_t{GetRValue(face)} << 16 | uint32_t{GetGValue(face)} << 8 | GetBValue(face);
  for (uint32_t& pixel : image->pixels)
    pixel = (pixel & gif::kGifOpaque) != 0 ? pixel & 0x00FFFFFF : face_rgb;

  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = image->width;
  format.bmiHeader.biHeight = -image->height;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;

  ScopedGetDC screen;
  ScopedMemDC memory(screen.get());
  ScopedGdiObj<HBITMAP> bitmap(
      CreateCompatibleBitmap(screen.get(), kPicturePixels, kPicturePixels));
  if (memory.get() == nullptr || bitmap.get() == nullptr) return {};
  ScopedSelectObject selected(memory.get(), bitmap.get());
  SetStretchBltMode(memory.get(), COLORONCOLOR);
  StretchDIBits(memory.get(), 0, 0, kPicturePixels, kPicturePixels, 0, 0, image->width,
                image->height, image->pixels.data(), &format, DIB_RGB_COLORS, SRCCOPY);
  return bitmap;
}

struct ComposedPictures {
  ScopedGdiObj<HBITMAP> cross = Decode("CROSS");
  ScopedGdiObj<HBITMAP> tick = Decode("TICK");
};

std::optional<ComposedPictures>& Composed() {
  static std::optional<ComposedPictures> composed;
  return composed;
}

}  // namespace

HBITMAP PictureBitmap(platform::toolkit::Picture picture) {
  using platform::toolkit::Picture;
  std::optional<ComposedPictures>& composed = Composed();
  if (!composed) composed.emplace();
  switch (picture) {
    case Picture::Cross:
      return composed->cross.get();
    case Picture::Tick:
      return composed->tick.get();
    case Picture::None:
      break;
  }
  return nullptr;
}

void RecomposePictures() { Composed().reset(); }

}  // namespace win32
