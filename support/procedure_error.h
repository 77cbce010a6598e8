// The procedure error report and the traps that show it: each procedure reports a run-time
// error in a message box and returns what its result holds.
#pragma once

#include <new>
#include <stdexcept>
#include <string>

#include "platform/base/runtime_error.h"

namespace runtime {

inline Error OutOfMemory() { return Error(kOutOfMemory, "Out of memory"); }
// Anything thrown that is neither a run-time error nor a failed allocation.
inline Error InternalError() { return Error(kInternalError, "Internal error"); }

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
  } catch (const Error& error) {
    ReportProcedureError(procedure, error);
  } catch (const std::bad_alloc&) {
    ReportProcedureError(procedure, OutOfMemory());
  } catch (const std::length_error&) {
    // A buffer of a size the system reported that no allocation can give.
    ReportProcedureError(procedure, OutOfMemory());
  } catch (...) {
    ReportProcedureError(procedure, InternalError());
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
