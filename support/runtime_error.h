// Run-time errors: a number and a description, raised by failing operations and trapped by each
// procedure, which reports it in a message box and returns what its result holds.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace runtime {

constexpr int32_t kOverflow = 6;
constexpr int32_t kOutOfMemory = 7;
constexpr int32_t kEntryPointNotFound = 453;

class Error : public std::exception {
 public:
  Error(int32_t number, std::string description)
      : number_(number), description_(std::move(description)) {}
  int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int32_t number_;
  std::string description_;
};

[[noreturn]] void RaiseOverflow();

// The one way to narrow an integer: a value that does not fit raises Overflow. The limits are
// compared as values, not converted to the source's type, where a signed target's negative
// minimum would turn into a huge unsigned number.
template <typename Narrow, typename Wide>
Narrow CheckedNarrow(Wide value) {
  static_assert(std::numeric_limits<Narrow>::is_integer && std::numeric_limits<Wide>::is_integer);
  using Limits = std::numeric_limits<Narrow>;
  bool fits = false;
  if constexpr (std::numeric_limits<Wide>::is_signed) {
    fits = static_cast<intmax_t>(value) >= static_cast<intmax_t>(Limits::min()) &&
           (value < 0 || static_cast<uintmax_t>(value) <= static_cast<uintmax_t>(Limits::max()));
  } else {
    fits = static_cast<uintmax_t>(value) <= static_cast<uintmax_t>(Limits::max());
  }
  if (!fits) RaiseOverflow();
  return static_cast<Narrow>(value);
}

// A real number rounded to the nearest 32-bit integer, halves to even; overflow when it does
// not fit.
int32_t CheckedRound(double value);

// "Error: N. description", the text of the procedure error report.
inline std::string ProcedureErrorText(const Error& error) {
  return "Error: " + std::to_string(error.Number()) + ". " + error.Description();
}

// Shows the procedure error report: OK only, no icon, modal to the program, titled with the
// procedure's name.
void ReportProcedureError(const std::string& procedure, const Error& error);

// Runs a procedure's body under its own trap. The body assigns to the result it is given; on a
// run-time error the report is shown and whatever the result holds at that moment is returned.
template <typename Result, typename Body>
Result Trapped(const std::string& procedure, Body&& body) {
  Result result{};
  try {
    body(result);
  } catch (const Error& error) {
    ReportProcedureError(procedure, error);
  } catch (const std::bad_alloc&) {
    ReportProcedureError(procedure, Error(kOutOfMemory, "Out of memory"));
  }
  return result;
}

// A procedure without a result (a property writer, a method).
template <typename Body>
void TrappedCall(const std::string& procedure, Body&& body) {
  Trapped<bool>(procedure, [&](bool&) { body(); });
}

// A step of the load handler: any failure inside it abandons the rest of the step silently.
template <typename Body>
void GuardedStep(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

// A two-way test of the load handler: a test whose evaluation fails counts as met.
template <typename Test>
bool TestOrMet(Test&& test) noexcept {
  try {
    return test();
  } catch (...) {
    return true;
  }
}

}  // namespace runtime
