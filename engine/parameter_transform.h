#pragma once
// The transform between fitted values and the unbounded variables that the simplex and Monte
// Carlo methods move: u = asinh(s v) on packing, v = sinh(u) on unpacking.

#include <cmath>

#include "base/real.h"

namespace tarvolin {

// ln(s + sqrt(s^2 + 1)). For s < 0 it is taken as -asinh(-s): the sum s + sqrt(s^2 + 1) would
// lose its digits to cancellation there (all of them from |s| ~ 1e10).
inline Real inverseHyperbolicSine(Real s) {
  if (s < 0) return -std::log(-s + std::sqrt(s * s + 1));
  return std::log(s + std::sqrt(s * s + 1));
}

// (e^u - e^-u) / 2.
inline Real hyperbolicSine(Real u) { return (std::exp(u) - std::exp(-u)) / 2; }

}  // namespace tarvolin
