#include "report_window/report_steps.h"
#include "support/modAPIFilesAndPaths.h"
#include "support/plain_file.h"
#include "support/procedure_error.h"

namespace {

struct FirewallProbe {
  const char* label;
  const char* key_path;
  const char* value_name;
};

constexpr char kRunServices[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Each is known by the start-up entry it registers; the report shows that command line.
constexpr FirewallProbe kFirewalls[] = {
    {"Sygate Personal Firewall = ", kRunServices, "SmcService"},
    {"Norton Personal Firewall = ", kRunServices, "iamapp"},
    {"McAfee Personal Firewall = ", kRun, "MPFTray"},
    {"Panda Internet Security = ", kRunServices, "PAVFIRES"},
    {"Agnitum Outpost Firewall = ", kRun, "Outpost Firewall"},
    {"Kerio Personal Firewall = ", kRunServices, "KPF4"},
};

}  // namespace

void AppendFirewallSection(ReportPass& pass) {
  using runtime::GuardedStep;
  GuardedStep([&] {
    pass.probe_path = support::PathInFolder(pass.Info().SystemDirectory(), "ZoneLabs\\VSMON.EXE");
  });
  GuardedStep([&] { pass.Append(std::string(kCrLf) + "Zone Alarm firewall = "); });
  GuardedStep([&] {
    const bool present = runtime::TestOrMet([&] { return support::IsPlainFile(pass.probe_path); });
    pass.Append(present ? modAPIFilesAndPaths::GetFileVersion(pass.probe_path) : "Non trovato");
  });
  for (const FirewallProbe& firewall : kFirewalls) {
    AppendRegistryLine(pass, firewall.label, firewall.key_path, firewall.value_name);
  }
}
