#include "support/procedure_error.h"

#include "platform/platform.h"

namespace runtime {

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
