// Run-time errors: a number and a description, raised by the seam's operations and by the checked
// conversions, and trapped by each procedure above the seam.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace runtime {

constexpr int32_t kOverflow = 6;
constexpr int32_t kOutOfMemory = 7;
constexpr int32_t kInternalError = 51;
constexpr int32_t kEntryPointNotFound = 453;

class Error : public std::exception {
 public:
  // A description that lasts as long as the program, a string literal, kept by its address:
  // making such an error allocates nothing, as the errors raised when memory has run out must.
  struct Literal {
    const char* text;
  };

  Error(int32_t number, std::string description);
  Error(int32_t number, Literal description) noexcept : number_(number), text_(description.text) {}
  int32_t Number() const noexcept { return number_; }
  std::string_view Description() const noexcept { return text_; }
  const char* what() const noexcept override { return text_; }

 private:
  int32_t number_;
  // Shared by every copy, so that copying an error, as trapping it does, cannot fail.
  std::shared_ptr<const std::string> shared_;
  const char* text_;
};

[[noreturn]] void RaiseOverflow();

inline Error OutOfMemory() noexcept { return Error(kOutOfMemory, Error::Literal{"Out of memory"}); }
// Anything thrown that is neither a run-time error nor a failed allocation.
inline Error InternalError() noexcept {
  return Error(kInternalError, Error::Literal{"Internal error"});
}

// The run-time error that the exception being handled stands for; called only inside a catch
// block. A failed allocation, or a buffer of a size the system reported that no allocation can
// give, is Out of memory; anything else that is no run-time error is an Internal error. It
// cannot fail, so no exception escapes the traps and handlers that call it.
Error CaughtError() noexcept;

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

// "Error: N. description": how an error is shown, in the procedure error report and wherever
// else one reaches the user.
inline std::string ProcedureErrorText(const Error& error) {
  return "Error: " + std::to_string(error.Number()) + ". " + error.what();
}

}  // namespace runtime
