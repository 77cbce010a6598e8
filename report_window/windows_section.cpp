#include "report_window/report_steps.h"
#include "report_window/windows_family.h"
#include "support/procedure_error.h"

void AppendWindowsSection(ReportPass& pass) {
  using runtime::GuardedStep;
  GuardedStep([&] { pass.Append(WindowsFamilyText(pass.Info())); });
  GuardedStep([&] { pass.Append(" (" + pass.Info().OSAdditional() + ")" + kCrLf); });
  GuardedStep([&] {
    const COSInfo& info = pass.Info();
    // The operands of + are evaluated in no set order, so each read is named first: major, then
    // minor, as the line shows them.
    const int32_t major = info.OSMajorVersion();
    const int32_t minor = info.OSMinorVersion();
    pass.Append("Version = " + std::to_string(major) + "." + std::to_string(minor) + kCrLf);
  });
  GuardedStep([&] { pass.Append("OSBuild = " + std::to_string(pass.Info().OSBuild()) + kCrLf); });
  GuardedStep([&] { pass.Append("Language = " + pass.Info().Language() + kCrLf); });
  GuardedStep([&] { pass.Append("SystemDirectory = " + pass.Info().SystemDirectory() + kCrLf); });
  GuardedStep([&] { pass.Append("WindowsDirectory = " + pass.Info().WindowsDirectory() + kCrLf); });
  GuardedStep([&] {
    const COSInfo& info = pass.Info();
    const std::string colours =
        info.DisplayColors() == -1 ? "True Color" : std::to_string(info.DisplayColors());
    pass.Append("DisplayColors = " + colours + kCrLf);
  });
}
