#include "platform/win32/win32_pictures.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "platform/win32/com_ref.h"
#include "platform/win32/gdi_object.h"

namespace win32 {

namespace {

// A stream over a private copy of a resource; the stream frees the copy.
bool OpenResourceStream(const char* name, ComRef<IStream>& stream, DWORD& size) {
  HRSRC resource = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  size = SizeofResource(nullptr, resource);
  if (bytes == nullptr || size == 0) return false;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (copy == nullptr) return false;
  void* target = GlobalLock(copy);
  if (target == nullptr) {
    GlobalFree(copy);
    return false;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(copy);
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, stream.out()))) {
    GlobalFree(copy);
    return false;
  }
  return true;
}

GdiObject<HBITMAP> Decode(const char* resource_name) {
  ComRef<IStream> stream;
  DWORD size = 0;
  if (!OpenResourceStream(resource_name, stream, size)) return {};
  ComRef<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                            picture.out_void()))) {
    return {};
  }
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);

  ScreenDC screen;
  MemoryDC memory(screen.get());
  GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), kPicturePixels, kPicturePixels));
  if (memory.get() == nullptr || bitmap.get() == nullptr) return {};
  Selection selected(memory.get(), bitmap.get());
  const RECT all{0, 0, kPicturePixels, kPicturePixels};
  FillRect(memory.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
  // Rendering leaves the transparent colour showing the button face beneath.
  picture->Render(memory.get(), 0, 0, kPicturePixels, kPicturePixels, 0, height, width, -height,
                  nullptr);
  return bitmap;
}

}  // namespace

HBITMAP PictureBitmap(platform::toolkit::Picture picture) {
  using platform::toolkit::Picture;
  static const GdiObject<HBITMAP> cross = Decode("CROSS");
  static const GdiObject<HBITMAP> tick = Decode("TICK");
  switch (picture) {
    case Picture::Cross:
      return cross.get();
    case Picture::Tick:
      return tick.get();
    case Picture::None:
      break;
  }
  return nullptr;
}

}  // namespace win32
