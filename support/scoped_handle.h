// Owns one handle the platform handed out and gives it back on every way out of a scope.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace support {

template <typename Handle, Handle kNone, int32_t (*Release)(Handle)>
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { ReleaseQuietly(); }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != kNone; }
  // For an operation that hands the handle out through a pointer; only while none is held.
  Handle* out() { return &handle_; }
  // Gives the held handle back now and keeps the new one.
  void reset(Handle handle = kNone) {
    ReleaseQuietly();
    handle_ = handle;
  }
  // Hands the handle over to a new owner.
  Handle release() {
    const Handle handle = handle_;
    handle_ = kNone;
    return handle;
  }

 private:
  // A release that cannot be made (its entry point missing) must not end the program from a
  // destructor; there is nothing left to do with the handle then.
  void ReleaseQuietly() noexcept {
    if (handle_ == kNone) return;
    try {
      Release(handle_);
    } catch (...) {
    }
  }

  Handle handle_ = kNone;
};

using ScopedKey = ScopedHandle<platform::RegistryKey, 0, platform::RegCloseKey>;
using ScopedFile =
    ScopedHandle<platform::FileHandle, platform::kInvalidHandleValue, platform::CloseHandle>;
using ScopedProcess = ScopedHandle<platform::ProcessHandle, 0, platform::CloseHandle>;
using ScopedSearch =
    ScopedHandle<platform::SearchHandle, platform::kInvalidHandleValue, platform::FindClose>;

}  // namespace support
