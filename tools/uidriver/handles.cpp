#include "handles.h"

namespace uidriver {

ClipboardSession::ClipboardSession(DWORD retry_ms) {
  const DWORD start = GetTickCount();
  while (!(open_ = OpenClipboard(nullptr) != FALSE)) {
    if (GetTickCount() - start >= retry_ms) break;
    Sleep(20);
  }
}

ClipboardSession::~ClipboardSession() {
  if (open_) CloseClipboard();
}

PixelBuffer::PixelBuffer(int width, int height) : width_(width), dc_(CreateCompatibleDC(nullptr)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dc_ && bitmap_) {
    bits_ = static_cast<const DWORD*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
  }
}

PixelBuffer::~PixelBuffer() {
  if (previous_) SelectObject(dc_, previous_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

ThreadInputLink::ThreadInputLink(DWORD other_thread)
    : self_(GetCurrentThreadId()),
      other_(other_thread),
      attached_(AttachThreadInput(self_, other_, TRUE) != FALSE) {}

ThreadInputLink::~ThreadInputLink() {
  if (attached_) AttachThreadInput(self_, other_, FALSE);
}

}  // namespace uidriver
