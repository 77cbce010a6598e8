#include "platform/base/runtime_error.h"

#include <cmath>

namespace runtime {

void RaiseOverflow() { throw Error(kOverflow, "Overflow"); }

int32_t CheckedRound(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) RaiseOverflow();
  return static_cast<int32_t>(rounded);
}

}  // namespace runtime
