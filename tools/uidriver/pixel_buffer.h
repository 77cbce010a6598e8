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

}  // namespace uidriver
