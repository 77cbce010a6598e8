// RAII owners for the few Win32 resources the driver touches.
#pragma once

#include <windows.h>

namespace uidriver {

// Holds the clipboard open for the lifetime of the object.
class ClipboardSession {
 public:
  // Retries because the target may hold the clipboard while it writes to it.
  explicit ClipboardSession(DWORD retry_ms);
  ~ClipboardSession();
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool is_open() const { return open_; }

 private:
  bool open_ = false;
};

// Locks a global memory block and unlocks it on destruction.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HANDLE mem) : mem_(mem), data_(mem ? GlobalLock(mem) : nullptr) {}
  ~GlobalLockGuard() {
    if (data_) GlobalUnlock(mem_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  const void* data() const { return data_; }
  SIZE_T size() const { return data_ ? GlobalSize(mem_) : 0; }

 private:
  HANDLE mem_;
  void* data_;
};

// An open registry key, closed on destruction.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY get() const { return key_; }
  HKEY* out() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

// Device context of the whole screen.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Device context of one window's client area; null when the window has none to give.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A top-down 32-bit DIB section selected into a memory DC of its own, for reading pixels back.
class PixelBuffer {
 public:
  PixelBuffer(int width, int height);
  ~PixelBuffer();
  PixelBuffer(const PixelBuffer&) = delete;
  PixelBuffer& operator=(const PixelBuffer&) = delete;
  bool valid() const { return bits_ != nullptr && previous_ != nullptr; }
  HDC dc() const { return dc_; }
  // 0x00RRGGBB of the pixel at (x, y).
  DWORD At(int x, int y) const { return bits_[size_t(y) * width_ + x] & 0xFFFFFF; }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  const DWORD* bits_ = nullptr;
};

// Shares this thread's input state (key state, focus) with another thread while alive.
class ThreadInputLink {
 public:
  explicit ThreadInputLink(DWORD other_thread);
  ~ThreadInputLink();
  ThreadInputLink(const ThreadInputLink&) = delete;
  ThreadInputLink& operator=(const ThreadInputLink&) = delete;
  bool attached() const { return attached_; }

 private:
  DWORD self_;
  DWORD other_;
  bool attached_;
};

}  // namespace uidriver
