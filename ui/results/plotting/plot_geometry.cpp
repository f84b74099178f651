#include "ui/results/plotting/plot_geometry.h"

#include <algorithm>
#include <cmath>

namespace tarvolin::plotting {

namespace {

constexpr Real kPixelLimit = 1E9L;

template <typename T>
Range rangeOfValues(std::span<const T> values) {
  if (values.empty()) return {};
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return {static_cast<Real>(*low), static_cast<Real>(*high)};
}

}  // namespace

Range rangeOf(std::span<const Real> values) { return rangeOfValues(values); }
Range rangeOf(std::span<const float> values) { return rangeOfValues(values); }

int roundPixel(Real v) {
  if (std::isnan(v)) return 0;
  v = std::clamp(v, -kPixelLimit, kPixelLimit);
  const Real below = std::floor(v);
  const Real fraction = v - below;
  long long n = static_cast<long long>(below);
  if (fraction > 0.5L || (fraction == 0.5L && n % 2 != 0)) ++n;
  return static_cast<int>(n);
}

int truncatePixel(Real v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::clamp(v, -kPixelLimit, kPixelLimit));
}

}  // namespace tarvolin::plotting
