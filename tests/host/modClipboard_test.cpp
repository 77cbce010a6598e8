#include "support/modClipboard.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WithNul(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override {
    EXPECT_FALSE(m.clipboard_open) << "the clipboard is always closed again";
    // Only the block the clipboard owns may still exist.
    EXPECT_EQ(m.global_blocks.size(), m.clipboard_text ? 1u : 0u);
  }
  // A text another copy put there earlier.
  void PutOnClipboard(const std::string& text) {
    modClipboard::SetClipboardData(text);
    m.calls.clear();
  }
  sim::Machine& m = sim::machine();
};

TEST_F(ClipboardTest, TextArrivesUnchangedWithItsNul) {
  for (const std::string text : {"Rapporto\r\nriga 2\r\n", "", " \t spazi \t "}) {
    modClipboard::SetClipboardData(text);
    EXPECT_EQ(sim::ClipboardBytes(), WithNul(text));
  }
  const std::string large(1 << 20, 'x');
  modClipboard::SetClipboardData(large);
  EXPECT_EQ(sim::ClipboardBytes(), WithNul(large));
}

TEST_F(ClipboardTest, CallsInTheirOrder) {
  modClipboard::SetClipboardData("abc");
  const std::vector<std::string> expected{"GlobalAlloc",      "GlobalLock",    "lstrcpyA",
                                          "GlobalUnlock",     "OpenClipboard", "EmptyClipboard",
                                          "SetClipboardData", "CloseClipboard"};
  EXPECT_EQ(m.calls, expected);
  EXPECT_TRUE(m.message_boxes.empty());
}

TEST_F(ClipboardTest, HeldElsewhereChangesNothingAndShowsNothing) {
  PutOnClipboard("old");
  m.clipboard_held_elsewhere = true;
  modClipboard::SetClipboardData("new");
  EXPECT_EQ(sim::ClipboardBytes(), WithNul("old"));
  EXPECT_TRUE(m.message_boxes.empty());
}

TEST_F(ClipboardTest, BlockThatCannotBeMadeReadyLeavesTheClipboardAlone) {
  bool sim::Machine::*const faults[] = {&sim::Machine::global_alloc_fails,
                                        &sim::Machine::global_lock_fails,
                                        &sim::Machine::unlock_leaves_locked};
  for (bool sim::Machine::*fault : faults) {
    sim::Reset();
    PutOnClipboard("old");
    m.*fault = true;
    modClipboard::SetClipboardData("new");
    EXPECT_EQ(sim::ClipboardBytes(), WithNul("old"));
    EXPECT_EQ(std::count(m.calls.begin(), m.calls.end(), "OpenClipboard"), 0);
    EXPECT_EQ(m.global_blocks.size(), 1u) << "the new block is freed";
  }
}

TEST_F(ClipboardTest, RefusedBlockIsFreed) {
  m.set_clipboard_fails = true;
  modClipboard::SetClipboardData("new");
  EXPECT_EQ(sim::ClipboardBytes(), std::nullopt);
  EXPECT_TRUE(m.global_blocks.empty());
}

}  // namespace
