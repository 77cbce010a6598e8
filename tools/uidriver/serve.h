// Runs driver commands one after another in one process, so that a test that sends many of
// them pays for starting a program under Wine only once.
//
// Request: a line with the byte count, then that many bytes: the command's words, each ended
// by a NUL ("--timeout", "5", "list" as in a command line).
// Reply: a line "CODE OUTPUT_BYTES ERROR_BYTES", then the output bytes, then the error bytes.
// The server ends at the end of its input.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace uidriver {

struct Reply {
  int code = 0;
  std::string output;
  std::string error;
};

// Runs one command as the command line would, catching its failure.
Reply Execute(const std::vector<std::string>& words);

int Serve(std::FILE* in, std::FILE* out);

}  // namespace uidriver
