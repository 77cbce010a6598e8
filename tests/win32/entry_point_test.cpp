#include "platform/win32/entry_point.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryPoint, ExistingEntryPointIsCalled) {
  const win32::EntryPoint<decltype(::GetCurrentProcessId)> entry("kernel32.dll",
                                                                 "GetCurrentProcessId");
  EXPECT_EQ(entry(), GetCurrentProcessId());
}

TEST(EntryPoint, MissingEntryPointRaises453AtEachCall) {
  struct Case {
    const char* dll;
    const char* name;
  } cases[] = {{"kernel32.dll", "NoSuchFunctionAnywhere"},
               {"nosuchlibrary.dll", "Anything"},
               // Beside the test program, not in the system folder.
               {"version_5_0_38_0.dll", "SondrelTestLibrary"}};
  for (const Case& c : cases) {
    const win32::EntryPoint<void()> entry(c.dll, c.name);
    for (int call = 0; call < 2; ++call) {
      try {
        entry();
        ADD_FAILURE() << c.name << " was called";
      } catch (const runtime::Error& error) {
        EXPECT_EQ(error.Number(), runtime::kEntryPointNotFound);
        EXPECT_NE(error.Description().find(c.name), std::string::npos);
      }
    }
  }
}

}  // namespace
