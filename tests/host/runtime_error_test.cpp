#include "support/runtime_error.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"

namespace {

class RuntimeErrorTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(RuntimeErrorTest, ReportTextHasNumberAndDescription) {
  EXPECT_EQ(runtime::ProcedureErrorText(runtime::Error(6, "Overflow")), "Error: 6. Overflow");
  EXPECT_EQ(runtime::ProcedureErrorText(runtime::Error(-5, "x")), "Error: -5. x");
}

TEST_F(RuntimeErrorTest, TrappedReturnsWhatTheResultHeldAndShowsOneOkBox) {
  const int32_t result = runtime::Trapped<int32_t>("OSBuild", [](int32_t& r) {
    r = 42;
    runtime::RaiseOverflow();
  });
  EXPECT_EQ(result, 42);
  ASSERT_EQ(sim::machine().message_boxes.size(), 1u);
  const sim::MessageBoxCall& box = sim::machine().message_boxes[0];
  EXPECT_EQ(box.text, "Error: 6. Overflow");
  EXPECT_EQ(box.caption, "OSBuild");
  EXPECT_EQ(box.type, platform::kMbOk | platform::kMbTaskModal);  // OK only, no icon
}

TEST_F(RuntimeErrorTest, TrappedWithoutErrorShowsNothing) {
  EXPECT_EQ(runtime::Trapped<std::string>("Language", [](std::string& r) { r = "Italian"; }),
            "Italian");
  EXPECT_TRUE(sim::machine().message_boxes.empty());
}

TEST_F(RuntimeErrorTest, ExhaustedMemoryIsReportedAsError7) {
  runtime::TrappedCall("GUID", [] { throw std::bad_alloc(); });
  ASSERT_EQ(sim::machine().message_boxes.size(), 1u);
  EXPECT_EQ(sim::machine().message_boxes[0].text, "Error: 7. Out of memory");
}

TEST_F(RuntimeErrorTest, UncallableEntryPointRaises453AtTheCall) {
  sim::machine().uncallable.insert("MessageBoxA");
  try {
    platform::MessageBoxA(platform::kNoWindow, "t", "c", platform::kMbOk);
    FAIL() << "no error raised";
  } catch (const runtime::Error& error) {
    EXPECT_EQ(error.Number(), runtime::kEntryPointNotFound);
  }
  // The report of a failing procedure cannot fail in turn when even the box is uncallable.
  EXPECT_NO_THROW(runtime::TrappedCall("X", [] { runtime::RaiseOverflow(); }));
}

TEST_F(RuntimeErrorTest, CheckedNarrowRaisesOverflowOutsideTheRange) {
  struct Case {
    int64_t value;
    bool fits;
  } cases[] = {{32767, true}, {-32768, true}, {32768, false}, {-32769, false}, {0, true}};
  for (const Case& c : cases) {
    if (c.fits) {
      EXPECT_EQ(runtime::CheckedNarrow<int16_t>(c.value), c.value);
    } else {
      try {
        runtime::CheckedNarrow<int16_t>(c.value);
        ADD_FAILURE() << c.value << " was narrowed";
      } catch (const runtime::Error& error) {
        EXPECT_EQ(error.Number(), runtime::kOverflow);
      }
    }
  }
}

TEST_F(RuntimeErrorTest, GuardedStepAbandonsOnlyTheRestOfItsStep) {
  std::string text;
  runtime::GuardedStep([&] {
    text += "a";
    runtime::RaiseOverflow();
    text += "never";
  });
  runtime::GuardedStep([&] { text += "b"; });
  runtime::GuardedStep([&] { throw std::bad_alloc(); });
  EXPECT_EQ(text, "ab");
  EXPECT_TRUE(sim::machine().message_boxes.empty());
}

TEST_F(RuntimeErrorTest, FailingTwoWayTestCountsAsMet) {
  EXPECT_TRUE(runtime::TestOrMet([] { return true; }));
  EXPECT_FALSE(runtime::TestOrMet([] { return false; }));
  EXPECT_TRUE(runtime::TestOrMet([]() -> bool { runtime::RaiseOverflow(); }));
}

}  // namespace
