// The system report, built once into the report box while the window loads.
#pragma once

#include "report_window/control.h"

void BuildReport(Control& Text1);
