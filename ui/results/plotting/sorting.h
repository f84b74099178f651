#pragma once
// The order in which the plots draw their points and lines.

#include <cstddef>
#include <span>
#include <vector>

#include "base/real.h"

namespace tarvolin::plotting {

// Indices of the values in ascending order; equal values keep their order in the list (as a
// selection sort that takes the first of equal smallest values does).
std::vector<std::size_t> ascendingOrder(std::span<const Real> values);

}  // namespace tarvolin::plotting
