// The watch that the other Windows tests rely on to prove no message box appeared must itself
// see one: the procedure error report shown for real.
#include <gtest/gtest.h>

#include "support/procedure_error.h"
#include "win32_test_support.h"

namespace {

using win32_test::DialogWatch;
using win32_test::SeenDialog;

TEST(DialogWatch, SeesAndClosesTheProcedureErrorReport) {
  DialogWatch watch;
  runtime::ReportProcedureError("RegistryGetKeyValue", runtime::Error(7, "Out of memory"));
  const std::vector<SeenDialog> seen = watch.Stop();
  ASSERT_EQ(seen.size(), 1u) << win32_test::Describe(seen);
  EXPECT_EQ(seen[0].title, "RegistryGetKeyValue");
  EXPECT_EQ(seen[0].text, "Error: 7. Out of memory");
  EXPECT_EQ(seen[0].buttons, 1) << "OK only";
}

}  // namespace
