#include "report_window/program.h"

#include <new>

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
  } catch (const runtime::Error& error) {
    runtime::ReportProcedureError("Sondrel", error);
  } catch (const std::bad_alloc&) {
    runtime::ReportProcedureError("Sondrel", runtime::OutOfMemory());
  } catch (const std::exception& error) {
    runtime::ReportProcedureError("Sondrel", runtime::Error(-1, error.what()));
  }
  return 1;
}
