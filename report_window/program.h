// The program from start to end: the window with its report, until it is unloaded.
#pragma once

// 0 when the window was shown and unloaded. A failure before the window exists is shown in a
// message box, and the result is then 1.
int RunProgram();
