#include "report_window/program.h"

int main() { return RunProgram(); }
