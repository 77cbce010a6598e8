// A top-down 32-bit DIB section selected into a memory DC of its own, for reading pixels back.
#pragma once

#include <windows.h>

#include "platform/win32/scoped_win.h"

namespace uidriver {

class PixelBuffer {
 public:
  PixelBuffer(int width, int height);
  bool valid() const { return bits_ != nullptr && selected_.valid(); }
  HDC dc() const { return dc_.get(); }
  // 0x00RRGGBB of the pixel at (x, y).
  DWORD At(int x, int y) const {
    return static_cast<const DWORD*>(bits_)[size_t(y) * width_ + x] & 0xFFFFFF;
  }

 private:
  int width_;
  win32::ScopedMemDC dc_;
  void* bits_ = nullptr;  // before bitmap_, which sets it
  win32::ScopedGdiObj<HBITMAP> bitmap_;
  win32::ScopedSelectObject selected_;
};

// Copies the `width` x `height` pixels of `window`'s client area from `client_origin` on into
// `buffer`. Wine gives another process's window a DC that cannot be read from, so they are read
// from the screen where that area shows; nothing else is on the tests' display.
bool CopyFromScreen(HWND window, POINT client_origin, const PixelBuffer& buffer, int width,
                    int height);

}  // namespace uidriver
