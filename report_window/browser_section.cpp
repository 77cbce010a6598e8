#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "report_window/probe_file.h"
#include "report_window/report_steps.h"
#include "support/modAPIFilesAndPaths.h"
#include "support/plain_file.h"
#include "support/procedure_error.h"

namespace {

constexpr size_t kResultBlanks = 512;

// The path the shell wrote: Windows 98 leaves it without its NUL, so the buffer's blanks
// follow it, and NT 4.0 puts a control character after it. It ends at the first NUL or control
// character, and blanks at its end are dropped, as Windows drops them from any path.
std::string FoundPath(const std::vector<char>& result) {
  const auto end = std::find_if(result.begin(), result.end(),
                                [](char c) { return static_cast<unsigned char>(c) < ' '; });
  std::string path(result.begin(), end);
  path.erase(path.find_last_not_of(' ') + 1);
  return path;
}

}  // namespace

void AppendBrowserSection(ReportPass& pass) {
  using runtime::GuardedStep;
  GuardedStep([&] { pass.Append(std::string(kCrLf) + "Browser predefinito = "); });
  {
    const ProbeFile probe;
    std::string found_path;
    uintptr_t found = 0;
    GuardedStep([&] {
      if (probe.Folder().empty()) return;
      std::vector<char> result(kResultBlanks, ' ');
      result.push_back('\0');
      found = platform::FindExecutableA(ProbeFile::kName, probe.Folder(), result.data());
      found_path = FoundPath(result);
    });
    GuardedStep([&] { pass.browser_path = found > 32 ? found_path : "Browser non trovato"; });
  }  // the probe file goes here, before the browser is looked at
  GuardedStep([&] {
    if (runtime::TestOrMet([&] { return support::IsPlainFile(pass.browser_path); })) {
      // The operands of + are evaluated in no set order, so each piece is named first: the
      // calls, and their error reports when they fail, come in the line's order.
      const std::string long_name = modAPIFilesAndPaths::GetLongFileName(pass.browser_path);
      const std::string version = modAPIFilesAndPaths::GetFileVersion(pass.browser_path);
      pass.Append(long_name + " versione " + version);
    } else {
      pass.Append("Non trovato");
    }
  });

  AppendRegistryLine(
      pass, "Microsoft Internet Explorer = ", "Software\\Microsoft\\Internet Explorer", "Version");
  AppendRegistryLine(pass, "Netscape Navigator = ", "Software\\Netscape\\Netscape Navigator",
                     "CurrentVersion");
}
