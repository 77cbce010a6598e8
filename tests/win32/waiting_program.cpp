// A program that keeps running until it is told to end: writes its process id to the file
// named by its first argument, then waits for the named event of its second argument, at most
// the milliseconds of its third, so that a failed test never leaves it behind for long. Told
// to end, it ends with the code 42: not 0, so that nothing can take an ended program for one
// still running by looking for a zero code.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/scoped_win.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const win32::AutoCloseHandle finish(OpenEventA(SYNCHRONIZE, FALSE, argv[2]));
  if (!finish.valid()) return 3;
  const std::string target = argv[1];
  const std::string partial = target + ".part";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  if (out == nullptr) return 4;
  std::fprintf(out, "%lu", GetCurrentProcessId());
  if (std::fclose(out) != 0 ||
      !MoveFileExA(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return 5;
  }
  const DWORD limit = std::strtoul(argv[3], nullptr, 10);
  return WaitForSingleObject(finish.get(), limit) == WAIT_OBJECT_0 ? 42 : 6;
}
