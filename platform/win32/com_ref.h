// Holds one reference to a COM object and releases it when it goes.
#pragma once

#include <utility>

namespace win32 {

template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (object_ != nullptr) object_->Release();
  }
  Interface* operator->() const { return object_; }
  Interface* get() const { return object_; }
  // For the out-parameter of a creating call.
  Interface** out() { return &object_; }
  void** out_void() { return reinterpret_cast<void**>(&object_); }

 private:
  Interface* object_ = nullptr;
};

}  // namespace win32
