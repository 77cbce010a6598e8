#include "serve.h"

#include <windows.h>

#include <cstdlib>

namespace uidriver {
namespace {

constexpr size_t kLargestRequest = 1 << 20;

bool ReadLine(std::FILE* in, std::string* line) {
  line->clear();
  for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
    if (c == '\n') return true;
    line->push_back(static_cast<char>(c));
  }
  return false;
}

// The words of the next request; false at the end of the input or on a malformed request.
bool ReadRequest(std::FILE* in, std::vector<std::string>* words) {
  std::string header;
  if (!ReadLine(in, &header)) return false;
  char* end = nullptr;
  const unsigned long size = std::strtoul(header.c_str(), &end, 10);
  if (header.empty() || *end != '\0' || size > kLargestRequest) return false;
  std::string body(size, '\0');
  if (std::fread(&body[0], 1, size, in) != size) return false;
  words->clear();
  size_t start = 0;
  for (size_t nul = body.find('\0'); nul != std::string::npos; nul = body.find('\0', start)) {
    words->push_back(body.substr(start, nul - start));
    start = nul + 1;
  }
  return start == body.size();
}

void WriteReply(std::FILE* out, const Reply& reply) {
  std::fprintf(out, "%d %u %u\n", reply.code, static_cast<unsigned>(reply.output.size()),
               static_cast<unsigned>(reply.error.size()));
  std::fwrite(reply.output.data(), 1, reply.output.size(), out);
  std::fwrite(reply.error.data(), 1, reply.error.size(), out);
  std::fflush(out);
}

}  // namespace

int Serve(std::FILE* in, std::FILE* out) {
  // A process on the desktop keeps Wine's desktop up: without one it closes a moment after the
  // last program ends, and the next program waits while it starts again.
  GetDesktopWindow();
  std::vector<std::string> words;
  while (ReadRequest(in, &words)) WriteReply(out, Execute(words));
  return std::feof(in) ? 0 : 1;
}

}  // namespace uidriver
