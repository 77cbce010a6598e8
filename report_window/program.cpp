#include "report_window/program.h"

#include "platform/platform.h"
#include "report_window/frmMain.h"
#include "support/com_apartment.h"
#include "support/procedure_error.h"

int RunProgram() {
  // Before any window, COM or shell call loads a DLL by name.
  platform::LimitLibrarySearch();
  const ComApartment apartment;  // entered before the report pass first asks the shell
  try {
    frmMain form;
    form.Show();
    return 0;
  } catch (...) {
    runtime::ReportProcedureError("Sondrel", runtime::CaughtError());
  }
  return 1;
}
