// A thread and a lock over the system's own primitives: the C++ library of the win32-thread-model
// compilers has neither std::thread nor std::mutex.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "platform/win32/scoped_win.h"

namespace win32_test {

// Runs a function on a thread of its own; the thread is waited for when the object ends.
class Thread {
 public:
  explicit Thread(std::function<void()> body)
      : body_(std::move(body)), handle_(CreateThread(nullptr, 0, Start, this, 0, nullptr)) {}
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  ~Thread() { Join(); }

  // True until Join has returned.
  bool joinable() const { return handle_.valid(); }
  // Waits until the function has returned.
  void Join() {
    if (handle_.valid()) WaitForSingleObject(handle_.get(), INFINITE);
    handle_.reset();
  }

 private:
  static DWORD WINAPI Start(LPVOID thread) {
    static_cast<Thread*>(thread)->body_();
    return 0;
  }

  std::function<void()> body_;
  win32::AutoCloseHandle handle_;
};

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  ~CriticalSection() { DeleteCriticalSection(&section_); }

  // Holds the section for one scope.
  class Lock {
   public:
    explicit Lock(CriticalSection& section) : section_(section) {
      EnterCriticalSection(&section_.section_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock() { LeaveCriticalSection(&section_.section_); }

   private:
    CriticalSection& section_;
  };

 private:
  CRITICAL_SECTION section_;
};

}  // namespace win32_test
