#include "support/runtime_error.h"

#include "platform/platform.h"

namespace runtime {

void RaiseOverflow() { throw Error(kOverflow, "Overflow"); }

void ReportProcedureError(const std::string& procedure, const Error& error) {
  // The report itself must never fail the procedure that is already failing.
  try {
    platform::MessageBoxA(platform::kNoWindow, ProcedureErrorText(error), procedure,
                          platform::kMbOk);
  } catch (...) {
  }
}

}  // namespace runtime
