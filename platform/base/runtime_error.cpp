#include "platform/base/runtime_error.h"

#include <cmath>
#include <new>

namespace runtime {

// Made once here rather than inlined at every place an error is raised.
Error::Error(int32_t number, std::string description)
    : number_(number),
      shared_(std::make_shared<const std::string>(std::move(description))),
      text_(shared_->c_str()) {}

void RaiseOverflow() { throw Error(kOverflow, "Overflow"); }

Error CaughtError() noexcept {
  try {
    throw;
  } catch (const Error& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  } catch (const std::length_error&) {
    return OutOfMemory();
  } catch (...) {
    return InternalError();
  }
}

int32_t CheckedRound(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) RaiseOverflow();
  return static_cast<int32_t>(rounded);
}

}  // namespace runtime
