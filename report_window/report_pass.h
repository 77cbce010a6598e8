// The system report, built once into the report box while the window loads; it also sets the
// two Java panels.
#pragma once

class frmMain;

void BuildReport(frmMain& form);
