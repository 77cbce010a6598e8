/* Loads the DLL named on its command line by its bare name, as system code does after start,
   and ends: where nothing keeps the search to the system folder, a DLL of that name beside this
   program is the one loaded. Exits with 0 when a DLL was loaded. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)show;
  return LoadLibraryA(command_line) != NULL ? 0 : 1;
}
