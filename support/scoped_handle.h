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
  ~ScopedHandle() {
    if (handle_ != kNone) Release(handle_);
  }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != kNone; }
  // For an operation that hands the handle out through a pointer; only while none is held.
  Handle* out() { return &handle_; }

 private:
  Handle handle_ = kNone;
};

using ScopedKey = ScopedHandle<platform::RegistryKey, 0, platform::RegCloseKey>;
using ScopedFile =
    ScopedHandle<platform::FileHandle, platform::kInvalidHandleValue, platform::CloseHandle>;
using ScopedSearch =
    ScopedHandle<platform::SearchHandle, platform::kInvalidHandleValue, platform::FindClose>;

}  // namespace support
