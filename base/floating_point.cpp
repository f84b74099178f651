#include "base/floating_point.h"

#include <cfenv>

namespace tarvolin {

void clearFloatingPointFlags() { std::feclearexcept(FE_ALL_EXCEPT); }

FloatingPointFault raisedFloatingPointFault() {
  const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  if (raised & FE_INVALID) return FloatingPointFault::Invalid;
  if (raised & FE_DIVBYZERO) return FloatingPointFault::DivideByZero;
  if (raised & FE_OVERFLOW) return FloatingPointFault::Overflow;
  return FloatingPointFault::None;
}

static const char* describe(FloatingPointFault fault) {
  switch (fault) {
    case FloatingPointFault::Invalid: return "invalid floating point operation";
    case FloatingPointFault::DivideByZero: return "floating point division by zero";
    case FloatingPointFault::Overflow: return "floating point overflow";
    case FloatingPointFault::None: break;
  }
  return "no floating point fault";
}

FloatingPointError::FloatingPointError(FloatingPointFault fault)
    : std::runtime_error(describe(fault)), fault_(fault) {}

void throwRaisedFloatingPointFault() { throw FloatingPointError(raisedFloatingPointFault()); }

}  // namespace tarvolin
