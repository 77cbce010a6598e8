// GoogleTest's hook for its platform layer, in the Windows build. The C++ library of the
// win32-thread-model compilers has no std::mutex or std::condition_variable, which GoogleTest's
// own thread start signal is made of; this one is a Windows event.
#pragma once

#include <windows.h>

#include "platform/win32/scoped_win.h"

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  void Notify() { SetEvent(event_.get()); }
  void WaitForNotification() { WaitForSingleObject(event_.get(), INFINITE); }

 private:
  ::win32::AutoCloseHandle event_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

}  // namespace testing::internal
