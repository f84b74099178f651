#include "ui/results/plotting/sorting.h"

#include <algorithm>
#include <numeric>

namespace tarvolin::plotting {

std::vector<std::size_t> ascendingOrder(std::span<const Real> values) {
  std::vector<std::size_t> order(values.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t i, std::size_t j) { return values[i] < values[j]; });
  return order;
}

}  // namespace tarvolin::plotting
