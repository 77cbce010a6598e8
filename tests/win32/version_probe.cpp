// Reads the file version of each path listed in a file, one a line, and writes the results to
// a second file in the same order, each line "=" and the version. The damaged files of the
// version tests are read here, in a process of its own, so that a crash ends only this run.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/modAPIFilesAndPaths.h"

namespace {

// A fault ends the reader at once with the fault's code, without the system's debugger.
LONG WINAPI EndWithFaultCode(EXCEPTION_POINTERS* fault) {
  ExitProcess(fault->ExceptionRecord->ExceptionCode);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(EndWithFaultCode);
  std::ifstream list(argv[1]);
  std::FILE* out = std::fopen(argv[2], "wb");
  if (!list || out == nullptr) return 3;
  std::string path;
  while (std::getline(list, path)) {
    const std::string version = modAPIFilesAndPaths::GetFileVersion(path);
    std::fprintf(out, "=%s\n", version.c_str());
    // What was read must be on disk before the next file, which may crash the reader.
    std::fflush(out);
  }
  std::fclose(out);
  return 0;
}
