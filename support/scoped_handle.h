// Owners of what the platform hands out, each giving it back on every way out of a scope.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace support {

// A release that cannot be made (its entry point missing) must not end the program from a
// destructor; there is nothing left to do with the handle then.
template <typename Release>
void ReleaseQuietly(Release release) noexcept {
  try {
    release();
  } catch (...) {
  }
}

// Owns one handle, kNone when none is held, and hands it to Release when it goes.
template <typename Handle, Handle kNone, int32_t (*Release)(Handle)>
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { ReleaseHeld(); }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != kNone; }
  // For an operation that hands the handle out through a pointer; only while none is held.
  Handle* out() { return &handle_; }
  // Gives the held handle back now and keeps the new one.
  void reset(Handle handle = kNone) {
    ReleaseHeld();
    handle_ = handle;
  }
  // Hands the handle over to a new owner.
  Handle release() {
    const Handle handle = handle_;
    handle_ = kNone;
    return handle;
  }

 private:
  void ReleaseHeld() noexcept {
    if (handle_ != kNone) ReleaseQuietly([this] { Release(handle_); });
  }

  Handle handle_ = kNone;
};

using ScopedKey = ScopedHandle<platform::RegistryKey, 0, platform::RegCloseKey>;
using ScopedFile =
    ScopedHandle<platform::FileHandle, platform::kInvalidHandleValue, platform::CloseHandle>;
using ScopedProcess = ScopedHandle<platform::ProcessHandle, 0, platform::CloseHandle>;
using ScopedSearch =
    ScopedHandle<platform::SearchHandle, platform::kInvalidHandleValue, platform::FindClose>;

// The device context of a window's client area, of the screen for kNoWindow. Whatever GetDC
// gave is handed back, a null context too.
class ScopedDeviceContext {
 public:
  explicit ScopedDeviceContext(platform::WindowHandle window)
      : window_(window), context_(platform::GetDC(window)) {}
  ScopedDeviceContext(const ScopedDeviceContext&) = delete;
  ScopedDeviceContext& operator=(const ScopedDeviceContext&) = delete;
  ~ScopedDeviceContext() {
    ReleaseQuietly([this] { platform::ReleaseDC(window_, context_); });
  }
  platform::DeviceContext get() const { return context_; }

 private:
  platform::WindowHandle window_;
  platform::DeviceContext context_;
};

}  // namespace support
