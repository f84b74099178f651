#include "ui/results/plotting/cubic_spline.h"

#include <algorithm>

namespace tarvolin::plotting {

bool strictlyIncreasing(std::span<const Real> x) {
  for (std::size_t i = 1; i < x.size(); ++i) {
    if (!(x[i] > x[i - 1])) return false;
  }
  return true;
}

CubicSpline::CubicSpline(std::span<const Real> x, std::span<const Real> y)
    : n_(std::min(x.size(), y.size())), x_(n_ + 1), y_(n_ + 1), b_(n_ + 1), c_(n_ + 1), d_(n_ + 1) {
  std::copy_n(x.begin(), n_, x_.begin() + 1);
  std::copy_n(y.begin(), n_, y_.begin() + 1);
  fit();
}

void CubicSpline::fit() {
  const std::size_t n = n_;
  if (n < 2) return;
  std::vector<Real>&x = x_, &y = y_, &b = b_, &c = c_, &d = d_;
  if (n == 2) {
    b[1] = b[2] = (y[2] - y[1]) / (x[2] - x[1]);
    return;
  }
  // Tridiagonal system for sigma_i = s''(x_i) / 6: b the diagonal, d the off-diagonal, c the
  // right-hand side (differences of the divided differences).
  d[1] = x[2] - x[1];
  c[2] = (y[2] - y[1]) / d[1];
  for (std::size_t i = 2; i <= n - 1; ++i) {
    d[i] = x[i + 1] - x[i];
    b[i] = 2 * (d[i - 1] + d[i]);
    c[i + 1] = (y[i + 1] - y[i]) / d[i];
    c[i] = c[i + 1] - c[i];
  }
  // End conditions: the third derivative at each end equals that of the cubic through the
  // four outermost knots (its third divided difference); zero with only three knots.
  b[1] = -d[1];
  b[n] = -d[n - 1];
  c[1] = 0;
  c[n] = 0;
  if (n > 3) {
    c[1] = c[3] / (x[4] - x[2]) - c[2] / (x[3] - x[1]);
    c[n] = c[n - 1] / (x[n] - x[n - 2]) - c[n - 2] / (x[n - 1] - x[n - 3]);
    c[1] = c[1] * d[1] * d[1] / (x[4] - x[1]);
    c[n] = -c[n] * d[n - 1] * d[n - 1] / (x[n] - x[n - 3]);
  }
  // Forward elimination and back substitution.
  for (std::size_t i = 2; i <= n; ++i) {
    const Real t = d[i - 1] / b[i - 1];
    b[i] = b[i] - t * d[i - 1];
    c[i] = c[i] - t * c[i - 1];
  }
  c[n] = c[n] / b[n];
  for (std::size_t i = n - 1; i >= 1; --i) c[i] = (c[i] - d[i] * c[i + 1]) / b[i];
  // Coefficients of the cubic on each interval.
  b[n] = (y[n] - y[n - 1]) / d[n - 1] + d[n - 1] * (c[n - 1] + 2 * c[n]);
  for (std::size_t i = 1; i <= n - 1; ++i) {
    b[i] = (y[i + 1] - y[i]) / d[i] - d[i] * (c[i + 1] + 2 * c[i]);
    d[i] = (c[i + 1] - c[i]) / d[i];
    c[i] = 3 * c[i];
  }
  c[n] = 3 * c[n];
  d[n] = d[n - 1];
}

Real CubicSpline::operator()(Real u) {
  if (n_ == 0) return 0;
  if (n_ == 1) return y_[1];
  if (i_ >= n_) i_ = 1;
  if (u < x_[i_] || u > x_[i_ + 1]) {
    // Binary search for x(i) <= u < x(i+1); i = 1 below the first knot, n above the last.
    std::size_t i = 1;
    std::size_t j = n_ + 1;
    do {
      const std::size_t k = (i + j) / 2;
      if (u < x_[k]) {
        j = k;
      } else {
        i = k;
      }
    } while (j > i + 1);
    i_ = i;
  }
  const Real du = u - x_[i_];
  return y_[i_] + du * (b_[i_] + du * (c_[i_] + du * d_[i_]));
}

}  // namespace tarvolin::plotting
