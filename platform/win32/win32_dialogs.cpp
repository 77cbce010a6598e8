#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

int32_t MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption,
                    uint32_t type) {
  static const win32::EntryPoint<decltype(::MessageBoxA)> entry("user32.dll", "MessageBoxA");
  return entry(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), type);
}

}  // namespace platform
