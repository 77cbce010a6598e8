#include "support/runtime_error.h"

#include <cmath>

#include "platform/platform.h"

namespace runtime {

void RaiseOverflow() { throw Error(kOverflow, "Overflow"); }

int32_t CheckedRound(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) RaiseOverflow();
  return static_cast<int32_t>(rounded);
}

void ReportProcedureError(const std::string& procedure, const Error& error) {
  // The report itself must never fail the procedure that is already failing.
  try {
    // Modal to the whole program, so that no click can re-enter a handler while it shows.
    platform::MessageBoxA(platform::kNoWindow, ProcedureErrorText(error), procedure,
                          platform::kMbOk | platform::kMbTaskModal);
  } catch (...) {
  }
}

}  // namespace runtime
