// The Windows operations the program uses, with their Windows names and buffer-and-size
// contracts. Two backends implement them: win32/ over the real system DLLs and sim/ over a
// simulated machine. Any operation can raise runtime::Error, for example 453 when its entry
// point does not exist on the running system.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A native window handle as the shell and the message box take it.
using WindowHandle = uintptr_t;
constexpr WindowHandle kNoWindow = 0;

// Message box styles and answers.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr int32_t kIdOk = 1;
constexpr int32_t kIdYes = 6;
constexpr int32_t kIdNo = 7;

int32_t MessageBoxA(WindowHandle owner, const std::string& text, const std::string& caption,
                    uint32_t type);

}  // namespace platform
