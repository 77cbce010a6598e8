#include "report_window/report_pass.h"

#include "report_window/report_steps.h"
#include "support/procedure_error.h"

namespace {

constexpr char kTitle[] = "Informazioni sul sistema - a cura del team Sondrel";

}  // namespace

const COSInfo& ReportPass::Info() const {
  if (!os) throw runtime::Error(91, "Object variable not set");
  return *os;
}

void BuildReport(frmMain& form) {
  using runtime::GuardedStep;
  ReportPass pass(form);
  GuardedStep([&] { form.Text1.Text(kTitle); });
  GuardedStep([&] { pass.Append(std::string(kCrLf) + kCrLf); });
  GuardedStep([&] { pass.os = std::make_unique<COSInfo>(); });
  AppendWindowsSection(pass);
  AppendBrowserSection(pass);
  AppendJavaSection(pass);
  AppendFirewallSection(pass);
  GuardedStep([&] { pass.Append(kCrLf); });
  GuardedStep([&] { pass.os.reset(); });
}
