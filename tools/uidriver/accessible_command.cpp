// What a screen reader is told of a control, read as screen readers read it: the accessible
// object the system's accessibility layer makes for the window.
#include <windows.h>

#include <oleacc.h>

#include "commands.h"
#include "target.h"

namespace uidriver {
namespace {

// COM on this thread for as long as the command runs.
class ComOnThisThread {
 public:
  ComOnThisThread() : entered_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComOnThisThread() {
    if (entered_) CoUninitialize();
  }
  ComOnThisThread(const ComOnThisThread&) = delete;
  ComOnThisThread& operator=(const ComOnThisThread&) = delete;

 private:
  bool entered_;
};

// Holds one reference to the object and gives it back.
class AccessibleObject {
 public:
  explicit AccessibleObject(HWND hwnd) {
    AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               reinterpret_cast<void**>(&object_));
  }
  ~AccessibleObject() {
    if (object_ != nullptr) object_->Release();
  }
  AccessibleObject(const AccessibleObject&) = delete;
  AccessibleObject& operator=(const AccessibleObject&) = delete;
  IAccessible* operator->() const { return object_; }
  bool valid() const { return object_ != nullptr; }

 private:
  IAccessible* object_ = nullptr;
};

std::string Narrow(BSTR text) {
  if (text == nullptr) return std::string();
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(length > 0 ? length - 1 : 0, '\0');
  if (length > 1) WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], length, nullptr, nullptr);
  return narrow;
}

}  // namespace

int AccessibleCommand(const Context& ctx) {
  if (ctx.args.size() != 1) throw Failure{kFailed, "usage: accessible ID"};
  HWND control = ControlById(ctx.main, ParseInt(ctx.args[0]));
  const ComOnThisThread com;
  const AccessibleObject object(control);
  if (!object.valid()) throw Failure{kFailed, "no accessible object"};
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  object->get_accName(self, &name);
  const std::string text = Narrow(name);
  SysFreeString(name);
  VARIANT state;
  VariantInit(&state);
  object->get_accState(self, &state);
  const unsigned long flags = state.vt == VT_I4 ? static_cast<unsigned long>(state.lVal) : 0;
  VariantClear(&state);
  char hex[16];
  wsprintfA(hex, "%lx", flags);
  Print(text + "\t" + hex + "\n");
  return kOk;
}

}  // namespace uidriver
