// Owners for the handles the Windows tests and their helper programs open themselves.
#pragma once

#include <windows.h>

namespace win32_test {

class UniqueKey {
 public:
  UniqueKey() = default;
  UniqueKey(const UniqueKey&) = delete;
  UniqueKey& operator=(const UniqueKey&) = delete;
  ~UniqueKey() { reset(); }
  HKEY get() const { return key_; }
  HKEY* out() { return &key_; }
  void reset() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

class UniqueSearch {
 public:
  explicit UniqueSearch(HANDLE search) : search_(search) {}
  HANDLE get() const { return search_; }
  UniqueSearch(const UniqueSearch&) = delete;
  UniqueSearch& operator=(const UniqueSearch&) = delete;
  ~UniqueSearch() {
    if (valid()) FindClose(search_);
  }
  bool valid() const { return search_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE search_;
};

class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }
  HANDLE get() const { return handle_; }
  void reset(HANDLE handle = nullptr) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace win32_test
