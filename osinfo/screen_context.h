// The screen's device context for the life of the object.
#pragma once

#include "platform/platform.h"

class ScreenContext {
 public:
  ScreenContext() : context_(platform::GetDC(platform::kNoWindow)) {}
  ScreenContext(const ScreenContext&) = delete;
  ScreenContext& operator=(const ScreenContext&) = delete;
  ~ScreenContext() {
    try {
      platform::ReleaseDC(platform::kNoWindow, context_);
    } catch (...) {  // a release that cannot be made has nothing left to undo
    }
  }
  platform::DeviceContext Get() const { return context_; }

 private:
  platform::DeviceContext context_;
};
