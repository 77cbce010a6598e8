#include "support/modClipboard.h"

#include "platform/platform.h"
#include "support/procedure_error.h"
#include "support/scoped_handle.h"

namespace modClipboard {

namespace {

int32_t FreeBlock(platform::GlobalHandle block) {
  return static_cast<int32_t>(platform::GlobalFree(block));
}

// The block is freed on every way out unless the clipboard took it.
using OwnedBlock = support::ScopedHandle<platform::GlobalHandle, 0, FreeBlock>;

// Fills the block with the text and its NUL; false when it cannot be locked, or stays locked.
bool Fill(const OwnedBlock& block, const std::string& text) {
  void* bytes = platform::GlobalLock(block.get());
  if (bytes == nullptr) return false;
  platform::lstrcpyA(static_cast<char*>(bytes), text.c_str());
  return platform::GlobalUnlock(block.get()) == 0;
}

// Closes the clipboard on every way out once it was opened.
class OpenedClipboard {
 public:
  OpenedClipboard() = default;
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    try {
      platform::CloseClipboard();
    } catch (...) {
    }
  }
};

}  // namespace

void SetClipboardData(const std::string& text) {
  runtime::TrappedCall("SetClipboardData", [&] {
    OwnedBlock block(
        platform::GlobalAlloc(platform::kGmemMoveable | platform::kGmemZeroInit, text.size() + 1));
    if (!block.valid() || !Fill(block, text)) return;
    if (!platform::OpenClipboard(platform::kNoWindow)) return;
    const OpenedClipboard opened;
    platform::EmptyClipboard();
    if (platform::SetClipboardData(platform::kCfText, block.get()) != 0) block.release();
  });
}

}  // namespace modClipboard
