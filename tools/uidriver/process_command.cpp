// Waiting until no process of a given program runs, as when every program the window started
// must have done its work before the test looks at it.
#include <windows.h>
// The process list needs the types windows.h defines.
#include <tlhelp32.h>

#include "commands.h"
#include "platform/win32/scoped_win.h"
#include "target.h"

namespace uidriver {
namespace {

// Whether a process whose program file has this name runs; false also when none can be listed.
bool Runs(const std::string& program) {
  const win32::AutoCloseHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) throw Failure{kFailed, "the processes cannot be listed"};
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more;
       more = Process32Next(snapshot.get(), &entry)) {
    if (lstrcmpiA(entry.szExeFile, program.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

int NoProcessCommand(const Context& ctx) {
  if (ctx.args.size() != 1) throw Failure{kFailed, "usage: noprocess PROGRAM.EXE"};
  if (!WaitUntil(ctx.timeout_ms, [&] { return !Runs(ctx.args[0]); })) {
    throw Failure{kTimedOut, ctx.args[0] + " still runs"};
  }
  return kOk;
}

}  // namespace uidriver
