#include "support/program_folder.h"

#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "support/path_separators.h"

namespace support {

namespace {

// The longest path the system can hand out; a longer answer is cut and used as it is.
constexpr uint32_t kLongestPath = 32768;

std::string ExecutablePath() {
  for (uint32_t size = 260;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    const uint32_t length = platform::GetModuleFileNameA(buffer.data(), size);
    if (length < size || size >= kLongestPath) {
      return std::string(buffer.data(), std::min(length, size));
    }
  }
}

}  // namespace

std::string ProgramFolder() {
  const std::string executable = ExecutablePath();
  const size_t separator = LastSeparator(executable);
  if (separator == std::string::npos) return std::string();
  // "C:\Sondrel.exe" lives in "C:\", not in "C:".
  const bool drive_root = separator == 2 && executable[1] == ':';
  return executable.substr(0, drive_root ? separator + 1 : separator);
}

}  // namespace support
