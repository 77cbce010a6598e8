// Global memory and the clipboard: forwarded to kernel32 and user32.
#include "platform/platform.h"
#include "platform/win32/entry_point.h"

namespace platform {

namespace {

HGLOBAL Native(GlobalHandle block) { return reinterpret_cast<HGLOBAL>(block); }

}  // namespace

GlobalHandle GlobalAlloc(uint32_t flags, size_t bytes) {
  static const win32::EntryPoint<decltype(::GlobalAlloc)> entry("kernel32.dll", "GlobalAlloc");
  return reinterpret_cast<GlobalHandle>(entry(flags, bytes));
}

void* GlobalLock(GlobalHandle block) {
  static const win32::EntryPoint<decltype(::GlobalLock)> entry("kernel32.dll", "GlobalLock");
  return entry(Native(block));
}

int32_t GlobalUnlock(GlobalHandle block) {
  static const win32::EntryPoint<decltype(::GlobalUnlock)> entry("kernel32.dll", "GlobalUnlock");
  return entry(Native(block));
}

GlobalHandle GlobalFree(GlobalHandle block) {
  static const win32::EntryPoint<decltype(::GlobalFree)> entry("kernel32.dll", "GlobalFree");
  return reinterpret_cast<GlobalHandle>(entry(Native(block)));
}

char* lstrcpyA(char* destination, const char* source) {
  static const win32::EntryPoint<decltype(::lstrcpyA)> entry("kernel32.dll", "lstrcpyA");
  return entry(destination, source);
}

int32_t OpenClipboard(WindowHandle owner) {
  static const win32::EntryPoint<decltype(::OpenClipboard)> entry("user32.dll", "OpenClipboard");
  return entry(reinterpret_cast<HWND>(owner));
}

int32_t EmptyClipboard() {
  static const win32::EntryPoint<decltype(::EmptyClipboard)> entry("user32.dll", "EmptyClipboard");
  return entry();
}

GlobalHandle SetClipboardData(uint32_t format, GlobalHandle block) {
  static const win32::EntryPoint<decltype(::SetClipboardData)> entry("user32.dll",
                                                                     "SetClipboardData");
  return reinterpret_cast<GlobalHandle>(entry(format, Native(block)));
}

int32_t CloseClipboard() {
  static const win32::EntryPoint<decltype(::CloseClipboard)> entry("user32.dll", "CloseClipboard");
  return entry();
}

}  // namespace platform
