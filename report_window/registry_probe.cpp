#include "platform/platform.h"
#include "report_window/report_steps.h"
#include "support/modRegistry.h"
#include "support/procedure_error.h"

void ProbeRegistry(ReportPass& pass, const char* key_path, const char* value_name) {
  pass.probe = modRegistry::ValueText(
      modRegistry::RegistryGetKeyValue(platform::kHkeyLocalMachine, key_path, value_name));
}

void AppendRegistryLine(ReportPass& pass, const char* label, const char* key_path,
                        const char* value_name) {
  using runtime::GuardedStep;
  GuardedStep([&] { pass.Append(std::string(kCrLf) + label); });
  GuardedStep([&] { ProbeRegistry(pass, key_path, value_name); });
  GuardedStep([&] { pass.Append(pass.probe.empty() ? "Non trovato" : pass.probe); });
}
