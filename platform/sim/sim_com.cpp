#include "platform/platform.h"
#include "platform/sim/sim_machine.h"

namespace platform {

void LimitLibrarySearch() { sim::Enter("LimitLibrarySearch"); }

int32_t CoInitialize() {
  sim::Enter("CoInitialize");
  return sim::machine().co_initialize_result;
}

void CoUninitialize() { sim::Enter("CoUninitialize"); }

}  // namespace platform
