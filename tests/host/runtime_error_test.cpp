#include "support/procedure_error.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <type_traits>

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

// Mapping a caught exception to its run-time error cannot fail in turn, not even when memory is
// exhausted: a copy of an error shares its description instead of allocating one.
static_assert(std::is_nothrow_copy_constructible_v<runtime::Error>);
static_assert(noexcept(runtime::CaughtError()));

TEST_F(RuntimeErrorTest, ACopyOfAnErrorSharesItsDescription) {
  const runtime::Error error(5, "Invalid procedure call or argument");
  const runtime::Error copy = error;
  EXPECT_EQ(copy.what(), error.what()) << "the same text, not a copy of it";
}

TEST_F(RuntimeErrorTest, TrappedReturnsWhatTheResultHeldAndShowsOneOkBox) {
  sim::ExpectMessageBoxes();
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
  sim::ExpectMessageBoxes();
  runtime::TrappedCall("GUID", [] { throw std::bad_alloc(); });
  ASSERT_EQ(sim::machine().message_boxes.size(), 1u);
  EXPECT_EQ(sim::machine().message_boxes[0].text, "Error: 7. Out of memory");
}

// The report of a failing procedure cannot fail in turn when even the box is uncallable.
TEST_F(RuntimeErrorTest, ReportWithoutAMessageBoxFailsNothing) {
  sim::machine().uncallable.insert("MessageBoxA");
  EXPECT_EQ(runtime::Trapped<int32_t>("X",
                                      [](int32_t& r) {
                                        r = 3;
                                        runtime::RaiseOverflow();
                                      }),
            3);
}

// A narrowing of one value from its source type to a target type, its result widened back.
template <typename Narrow, typename Wide>
std::function<int64_t()> Narrowing(Wide value) {
  return [value] { return static_cast<int64_t>(runtime::CheckedNarrow<Narrow>(value)); };
}

TEST_F(RuntimeErrorTest, CheckedNarrowRaisesOverflowOutsideTheTargetsRange) {
  struct Case {
    const char* what;
    std::function<int64_t()> narrow;
    std::optional<int64_t> result;  // none: Overflow
  } cases[] = {
      {"int64 32767 to int16", Narrowing<int16_t>(int64_t{32767}), 32767},
      {"int64 -32768 to int16", Narrowing<int16_t>(int64_t{-32768}), -32768},
      {"int64 0 to int16", Narrowing<int16_t>(int64_t{0}), 0},
      {"int64 32768 to int16", Narrowing<int16_t>(int64_t{32768}), std::nullopt},
      {"int64 -32769 to int16", Narrowing<int16_t>(int64_t{-32769}), std::nullopt},
      {"uint32 5 to int16", Narrowing<int16_t>(uint32_t{5}), 5},
      {"uint32 0 to int16", Narrowing<int16_t>(uint32_t{0}), 0},
      {"uint32 32767 to int16", Narrowing<int16_t>(uint32_t{32767}), 32767},
      {"uint32 32768 to int16", Narrowing<int16_t>(uint32_t{32768}), std::nullopt},
      {"uint32 4294967295 to int16", Narrowing<int16_t>(uint32_t{4294967295u}), std::nullopt},
      {"uint16 65535 to int16", Narrowing<int16_t>(uint16_t{65535}), std::nullopt},
      {"uint32 2147483648 to int32", Narrowing<int32_t>(uint32_t{2147483648u}), std::nullopt},
      {"uint64 2147483647 to int32", Narrowing<int32_t>(uint64_t{2147483647u}), 2147483647},
      {"int32 -1 to uint16", Narrowing<uint16_t>(int32_t{-1}), std::nullopt},
      {"int32 65535 to uint16", Narrowing<uint16_t>(int32_t{65535}), 65535},
      {"int32 65536 to uint16", Narrowing<uint16_t>(int32_t{65536}), std::nullopt},
      {"int8 -1 to uint32", Narrowing<uint32_t>(int8_t{-1}), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.result) {
      EXPECT_EQ(c.narrow(), *c.result);
      continue;
    }
    try {
      c.narrow();
      ADD_FAILURE() << "was narrowed";
    } catch (const runtime::Error& error) {
      EXPECT_EQ(error.Number(), runtime::kOverflow);
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
