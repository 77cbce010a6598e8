// Owns a GDI object (font, bitmap, brush) and deletes it when it goes.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (handle_ != nullptr) DeleteObject(handle_);
  }
  Handle get() const { return handle_; }

 private:
  Handle handle_ = nullptr;
};

// The screen's device context, released when it goes.
class ScreenDC {
 public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  ~ScreenDC() {
    if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace win32
