// The procedure error report and the traps that show it: each procedure reports a run-time
// error in a message box and returns what its result holds.
#pragma once

#include <string>

#include "platform/base/runtime_error.h"

namespace runtime {

// Shows the procedure error report: OK only, no icon, modal to the program, titled with the
// procedure's name.
void ReportProcedureError(const std::string& procedure, const Error& error);

// Runs a procedure's body under its own trap. The body assigns to the result it is given; on a
// run-time error the report is shown and whatever the result holds at that moment is returned.
template <typename Result, typename Body>
Result Trapped(const std::string& procedure, Body&& body) {
  Result result{};
  try {
    body(result);
  } catch (...) {
    ReportProcedureError(procedure, CaughtError());
  }
  return result;
}

// A procedure without a result (a property writer, a method).
template <typename Body>
void TrappedCall(const std::string& procedure, Body&& body) {
  Trapped<bool>(procedure, [&](bool&) { body(); });
}

// A step of the load handler: any failure inside it abandons the rest of the step silently.
template <typename Body>
void GuardedStep(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

// A two-way test of the load handler: a test whose evaluation fails counts as met.
template <typename Test>
bool TestOrMet(Test&& test) noexcept {
  try {
    return test();
  } catch (...) {
    return true;
  }
}

}  // namespace runtime
