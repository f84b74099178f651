#pragma once
// Detection of floating-point failures. The engine runs with exceptions masked; instead the
// IEEE status flags are cleared before a guarded computation and tested after it, so that an
// invalid operation (log of a non-positive value, 0/0), a division by zero or an overflow is
// turned into the run's fixed message rather than a NaN or Inf in a report.

#include <cfenv>
#include <stdexcept>

namespace tarvolin {

enum class FloatingPointFault { None, Invalid, DivideByZero, Overflow };

void clearFloatingPointFlags();
// The raised fault of highest rank: invalid operation, then division by zero, then overflow.
FloatingPointFault raisedFloatingPointFault();

class FloatingPointError : public std::runtime_error {
 public:
  explicit FloatingPointError(FloatingPointFault fault);
  FloatingPointFault fault() const { return fault_; }

 private:
  FloatingPointFault fault_;
};

// Throws FloatingPointError for the raised fault of highest rank.
[[noreturn]] void throwRaisedFloatingPointFault();

// Throws FloatingPointError when a fault flag is raised. Inline, with one test of the flags on
// the way through: the speciation solver tests them after every Newton cycle.
inline void throwOnFloatingPointFault() {
  if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0)
    throwRaisedFloatingPointFault();
}

}  // namespace tarvolin
