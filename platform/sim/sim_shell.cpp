#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace platform {

namespace {

constexpr uintptr_t kFileNotFound = 2;
constexpr uintptr_t kNoAssociation = 31;
constexpr uintptr_t kFound = 42;
constexpr size_t kMaxPath = 260;

bool EndsWithHtm(const std::string& file) {
  return file.size() >= 4 && sim::SameName(file.substr(file.size() - 4), ".htm");
}

std::optional<std::string> Text(const char* text) {
  return text ? std::optional<std::string>(text) : std::nullopt;
}

// FindExecutableA makes lpDirectory the current folder while it looks for the file (Wine's and
// ReactOS's shell32, FindExecutableW), so a drive without a folder, "C:", stands for that
// drive's current folder, not its root. Only the current drive's current folder is known.
std::string InFolderMadeCurrent(const std::string& directory, const std::string& file) {
  if (sim::IsFullPath(file)) return file;
  const std::string& current = sim::machine().current_directory;
  std::string folder = directory;
  if (folder.empty()) folder = current;
  if (folder.size() == 2 && folder[1] == ':') {
    folder = sim::SameName(current.substr(0, 2), folder) ? current : folder + "\\";
  }
  return sim::InFolder(folder, file);
}

// The shell's answer to a request: a full path that names nothing is not found, whatever the
// shell would do with it; anything else gets the machine's answer.
intptr_t ShellAnswer(const std::string& file) {
  if (sim::IsFullPath(file) && !sim::Resolve(file)) return static_cast<intptr_t>(kFileNotFound);
  return sim::machine().shell_result;
}

}  // namespace

uintptr_t FindExecutableA(const std::string& file, const std::string& directory, char* result) {
  sim::Enter("FindExecutableA");
  const std::string looked_for = InFolderMadeCurrent(directory, file);
  sim::machine().executable_look_ups.push_back(looked_for);
  if (!sim::Resolve(looked_for)) return kFileNotFound;
  const std::optional<std::string>& program = sim::machine().htm_program;
  if (!EndsWithHtm(file) || !program) return kNoAssociation;
  const size_t length = std::min(program->size(), kMaxPath - 1);
  std::memcpy(result, program->data(), length);
  const std::string& ending = sim::Answers().find_executable_ending;
  std::memcpy(result + length, ending.data(), ending.size());
  return kFound;
}

intptr_t ShellExecuteA(WindowHandle owner, const char* verb, const std::string& file,
                       const char* parameters, const char* directory, int32_t show) {
  sim::Enter("ShellExecuteA");
  sim::Machine& m = sim::machine();
  m.shell_requests.push_back(
      {false, owner, Text(verb), file, Text(parameters), Text(directory), show, 0});
  return ShellAnswer(file);
}

int32_t ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  sim::Enter("ShellExecuteExA");
  sim::Machine& m = sim::machine();
  if (info->cbSize != sizeof *info) return 0;
  m.shell_requests.push_back({true, info->hwnd, Text(info->lpVerb), info->lpFile,
                              Text(info->lpParameters), Text(info->lpDirectory), info->nShow,
                              info->fMask});
  info->hInstApp = ShellAnswer(info->lpFile);
  const bool started = info->hInstApp > 32 && m.shell_starts_process;
  if (started && (info->fMask & kSeeMaskNoCloseProcess) != 0) {
    info->hProcess = m.next_handle++;
    m.processes[info->hProcess] = {};
    m.open_processes.insert(info->hProcess);
  }
  return info->hInstApp > 32;
}

int32_t GetExitCodeProcess(ProcessHandle process, uint32_t* exit_code) {
  sim::Enter("GetExitCodeProcess");
  const sim::Machine& m = sim::machine();
  if (m.open_processes.count(process) == 0) return 0;
  const sim::Process& started = m.processes.at(process);
  *exit_code = started.running ? kStillActive : started.exit_code;
  return 1;
}

}  // namespace platform
