// Owners of native Windows handles, each giving back what it holds on every way out of a scope.
// The Windows backend, the Windows tests, the UI driver and the bench share them.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

// Most makers answer a failure with null.
template <typename Handle>
bool NotNull(Handle handle) {
  return handle != nullptr;
}

// Kernel objects and file searches answer a failure with null or with INVALID_HANDLE_VALUE.
inline bool Opened(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

// Owns one handle and hands it to Release when it goes. Movable, so that a maker can return one
// and a container can hold one.
template <typename Handle, auto Release, bool (*Held)(Handle) = NotNull<Handle>>
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { reset(); }

  Handle get() const { return handle_; }
  bool valid() const { return Held(handle_); }
  // For a call that hands the handle out through a pointer; only while none is held.
  Handle* out() { return &handle_; }
  // Gives the held handle back now and keeps the new one.
  void reset(Handle handle = Handle{}) noexcept {
    if (Held(handle_)) Release(handle_);
    handle_ = handle;
  }
  // Hands the handle over to a new owner.
  Handle release() noexcept { return std::exchange(handle_, Handle{}); }

 private:
  Handle handle_{};
};

using AutoCloseHandle = ScopedHandle<HANDLE, &::CloseHandle, Opened>;
using ScopedFindFile = ScopedHandle<HANDLE, &::FindClose, Opened>;
using ScopedRegKey = ScopedHandle<HKEY, &::RegCloseKey>;
using ScopedLibrary = ScopedHandle<HMODULE, &::FreeLibrary>;
using ScopedGlobalAlloc = ScopedHandle<HGLOBAL, &::GlobalFree>;
using ScopedWindow = ScopedHandle<HWND, &::DestroyWindow>;
template <typename GdiObject>
using ScopedGdiObj = ScopedHandle<GdiObject, &::DeleteObject>;

// A memory device context like the one given (like the screen for null).
class ScopedMemDC : public ScopedHandle<HDC, &::DeleteDC> {
 public:
  explicit ScopedMemDC(HDC like) : ScopedHandle(CreateCompatibleDC(like)) {}
};

// The device context of a window's client area; of the screen for a null window.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;
  ~ScopedGetDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a context; the one it replaced is selected again when this goes.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  bool valid() const { return previous_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A global memory block locked in place; null data when it could not be.
class ScopedGlobalLock {
 public:
  explicit ScopedGlobalLock(HGLOBAL block)
      : block_(block), data_(block != nullptr ? GlobalLock(block) : nullptr) {}
  ScopedGlobalLock(const ScopedGlobalLock&) = delete;
  ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
  ~ScopedGlobalLock() {
    if (data_ != nullptr) GlobalUnlock(block_);
  }
  void* data() const { return data_; }
  SIZE_T size() const { return data_ != nullptr ? GlobalSize(block_) : 0; }

 private:
  HGLOBAL block_;
  void* data_;
};

// The clipboard, opened for a window (for this task when null). Another program may hold it
// for a moment, so opening is retried for the milliseconds given.
class ScopedClipboard {
 public:
  explicit ScopedClipboard(HWND owner, DWORD patience_ms = 0) {
    const DWORD start = GetTickCount();
    while (!(open_ = OpenClipboard(owner) != FALSE) && GetTickCount() - start < patience_ms) {
      Sleep(10);
    }
  }
  ScopedClipboard(const ScopedClipboard&) = delete;
  ScopedClipboard& operator=(const ScopedClipboard&) = delete;
  ~ScopedClipboard() {
    if (open_) CloseClipboard();
  }
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace win32
