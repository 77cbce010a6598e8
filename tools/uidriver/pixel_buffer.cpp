#include "pixel_buffer.h"

namespace uidriver {
namespace {

HBITMAP TopDownSection(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

PixelBuffer::PixelBuffer(int width, int height)
    : width_(width),
      dc_(nullptr),
      bitmap_(TopDownSection(width, height, &bits_)),
      selected_(dc_.get(), bitmap_.get()) {}

bool CopyFromScreen(HWND window, POINT client_origin, const PixelBuffer& buffer, int width,
                    int height) {
  ClientToScreen(window, &client_origin);
  win32::ScopedGetDC screen;
  const bool copied = screen.get() && BitBlt(buffer.dc(), 0, 0, width, height, screen.get(),
                                             client_origin.x, client_origin.y, SRCCOPY);
  GdiFlush();
  return copied;
}

}  // namespace uidriver
