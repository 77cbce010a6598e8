#include <cstring>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace sim {

std::optional<std::vector<uint8_t>> ClipboardBytes() {
  const Machine& m = machine();
  if (!m.clipboard_text) return std::nullopt;
  return m.global_blocks.at(*m.clipboard_text).bytes;
}

namespace {

GlobalBlock* Block(platform::GlobalHandle handle) {
  auto& blocks = machine().global_blocks;
  const auto block = blocks.find(handle);
  return block == blocks.end() ? nullptr : &block->second;
}

}  // namespace

}  // namespace sim

namespace platform {

GlobalHandle GlobalAlloc(uint32_t flags, size_t bytes) {
  sim::Enter("GlobalAlloc");
  sim::Machine& m = sim::machine();
  if (m.global_alloc_fails || flags != (kGmemMoveable | kGmemZeroInit)) return 0;
  const GlobalHandle handle = m.next_block++;
  m.global_blocks[handle] = {std::vector<uint8_t>(bytes, 0), 0};
  return handle;
}

void* GlobalLock(GlobalHandle block) {
  sim::Enter("GlobalLock");
  sim::GlobalBlock* found = sim::Block(block);
  if (found == nullptr || sim::machine().global_lock_fails) return nullptr;
  ++found->locks;
  return found->bytes.data();
}

int32_t GlobalUnlock(GlobalHandle block) {
  sim::Enter("GlobalUnlock");
  sim::GlobalBlock* found = sim::Block(block);
  if (found == nullptr || found->locks == 0) return 0;
  if (!sim::machine().unlock_leaves_locked) --found->locks;
  return found->locks;
}

GlobalHandle GlobalFree(GlobalHandle block) {
  sim::Enter("GlobalFree");
  return sim::machine().global_blocks.erase(block) == 1 ? 0 : block;
}

char* lstrcpyA(char* destination, const char* source) {
  sim::Enter("lstrcpyA");
  return std::strcpy(destination, source);
}

int32_t OpenClipboard(WindowHandle window) {
  sim::Enter("OpenClipboard");
  sim::Machine& m = sim::machine();
  if (m.clipboard_held_elsewhere) return 0;
  // The window that has it open may open it again; one CloseClipboard closes it.
  if (m.clipboard_open && m.clipboard_opened_by != window) return 0;
  m.clipboard_open = true;
  m.clipboard_opened_by = window;
  return 1;
}

int32_t EmptyClipboard() {
  sim::Enter("EmptyClipboard");
  sim::Machine& m = sim::machine();
  if (!m.clipboard_open) return 0;
  if (m.clipboard_text) m.global_blocks.erase(*m.clipboard_text);
  m.clipboard_text.reset();
  return 1;
}

GlobalHandle SetClipboardData(uint32_t format, GlobalHandle block) {
  sim::Enter("SetClipboardData");
  sim::Machine& m = sim::machine();
  if (!m.clipboard_open || m.set_clipboard_fails || format != kCfText || !sim::Block(block))
    return 0;
  m.clipboard_text = block;
  return block;
}

int32_t CloseClipboard() {
  sim::Enter("CloseClipboard");
  sim::Machine& m = sim::machine();
  const bool was_open = m.clipboard_open;
  m.clipboard_open = false;
  return was_open;
}

}  // namespace platform
