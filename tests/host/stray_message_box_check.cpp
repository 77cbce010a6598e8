// A message box that a test did not say it expects fails the test, an OK box too: the program
// shows its procedure error report only where something went wrong.
#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"

namespace {

class StrayMessageBoxCheck : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    sim::MessageBoxesOfThisTest() = {/*recording=*/true, {}, /*expected=*/false};
  }

  // Called before the result is printed, so a stray box shows as the test's own failure.
  void OnTestEnd(const ::testing::TestInfo&) override {
    const sim::ShownMessageBoxes& shown = sim::MessageBoxesOfThisTest();
    if (shown.expected) return;
    for (const sim::MessageBoxCall& box : shown.boxes) {
      ADD_FAILURE() << "a message box the test did not expect, titled \"" << box.caption
                    << "\": " << box.text;
    }
  }
};

const bool kRegistered = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new StrayMessageBoxCheck);
  return true;
}();

}  // namespace
