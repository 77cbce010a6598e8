// Starts as Sondrel.exe does, narrowing the DLL search first, then writes the full path of every
// module loaded in its process to the file named on its command line, one a line.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/win32/scoped_win.h"

int main(int argc, char** argv) {
  platform::LimitLibrarySearch();
  if (argc != 2) return 2;
  const win32::AutoCloseHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0));
  if (!snapshot.valid()) return 3;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 4;
  MODULEENTRY32 module{};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot.get(), &module); more;
       more = Module32Next(snapshot.get(), &module)) {
    std::fprintf(out, "%s\n", module.szExePath);
  }
  return std::fclose(out) == 0 ? 0 : 5;
}
