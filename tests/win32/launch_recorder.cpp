// Stands in for the program an association, a protocol or a test names: writes how it was
// started to the file that the environment variable SONDREL_RECORD_FILE names, and ends. One
// line each: "command=" and the command line as received, "flags=" and "show=" with dwFlags
// and wShowWindow of its start-up record, "folder=" and its current folder, then "arg=" and
// each argument. The file appears whole or not at all.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  char target[MAX_PATH + 1] = {};
  const DWORD length = GetEnvironmentVariableA("SONDREL_RECORD_FILE", target, sizeof target);
  if (length == 0 || length >= sizeof target) return 2;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  char folder[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof folder, folder);

  std::string record = "command=" + std::string(GetCommandLineA()) + "\n";
  record += "flags=" + std::to_string(startup.dwFlags) + "\n";
  record += "show=" + std::to_string(startup.wShowWindow) + "\n";
  record += "folder=" + std::string(folder) + "\n";
  for (int i = 1; i < argc; ++i) record += "arg=" + std::string(argv[i]) + "\n";

  const std::string partial = std::string(target) + ".part";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  if (out == nullptr) return 3;
  const bool written = std::fwrite(record.data(), 1, record.size(), out) == record.size();
  if (std::fclose(out) != 0 || !written) return 4;
  return MoveFileExA(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
