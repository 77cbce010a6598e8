// Stands in for the web browser: appends the command line it was started with, and a line feed,
// to the file named by the environment variable SONDREL_LAUNCH_RECORD, then ends. A window
// program, so that starting it shows nothing.
#include <windows.h>

#include <string>

#include "platform/win32/scoped_win.h"

namespace {

constexpr char kRecordVariable[] = "SONDREL_LAUNCH_RECORD";

std::string RecordPath() {
  std::string path(MAX_PATH, '\0');
  const DWORD length = GetEnvironmentVariableA(kRecordVariable, &path[0], MAX_PATH);
  path.resize(length < MAX_PATH ? length : 0);
  return path;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string path = RecordPath();
  if (path.empty()) return 2;
  // Appending, so that a second launch shows as a second line instead of replacing the first.
  const win32::AutoCloseHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
  if (!file.valid()) return 1;
  // One write, so a reader never sees half a line.
  const std::string line = std::string(GetCommandLineA()) + "\n";
  DWORD written = 0;
  const bool ok =
      WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
      written == line.size();
  return ok ? 0 : 1;
}
