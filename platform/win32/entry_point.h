// An entry point of a system DLL, looked up in the system folder the first time it is called.
// Calling one that the running Windows does not have raises run-time error 453, so the program
// still starts there.
#pragma once

#include <windows.h>

#include <string>

#include "platform/base/runtime_error.h"

namespace win32 {

// A DLL of the system folder, loaded by its full path; null where it is not there.
HMODULE LoadSystemLibrary(const char* dll);
FARPROC LookUpEntryPoint(const char* dll, const char* name);

// The entry point as a function of its type; null where the running Windows lacks it.
template <typename Function>
Function* FindEntryPoint(const char* dll, const char* name) {
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(LookUpEntryPoint(dll, name)));
}

template <typename Function>
class EntryPoint {
 public:
  EntryPoint(const char* dll, const char* name) : dll_(dll), name_(name) {}

  template <typename... Args>
  auto operator()(Args... args) const {
    if (!looked_up_) {
      address_ = FindEntryPoint<Function>(dll_, name_);
      looked_up_ = true;
    }
    if (address_ == nullptr) {
      throw runtime::Error(runtime::kEntryPointNotFound,
                           std::string("Can't find DLL entry point ") + name_ + " in " + dll_);
    }
    return address_(args...);
  }

 private:
  const char* dll_;
  const char* name_;
  mutable bool looked_up_ = false;
  mutable Function* address_ = nullptr;
};

}  // namespace win32
