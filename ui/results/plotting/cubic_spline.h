#pragma once
// The interpolating cubic spline of Forsythe, Malcolm and Moler (their routines SPLINE and
// SEVAL), through the calculated property at increasing point numbers: a smooth curve that
// passes through every calculated value. With four or more knots the end conditions match the
// third derivative at each end to that of the cubic through the four outermost knots, so any
// cubic is reproduced exactly; with three the third derivative vanishes at the ends (a
// parabola is reproduced); two knots give the straight segment.

#include <cstddef>
#include <span>
#include <vector>

#include "base/real.h"

namespace tarvolin::plotting {

// True when each abscissa is larger than the one before: the spline divides by every
// difference of neighbouring abscissae, so equal ones (two calculated points with one point
// number) must be drawn as points instead.
bool strictlyIncreasing(std::span<const Real> x);

class CubicSpline {
 public:
  // x strictly increasing, y of the same length. With fewer than two knots nothing is
  // computed: one knot gives the constant y1, none gives 0.
  CubicSpline(std::span<const Real> x, std::span<const Real> y);

  // s(u) = y(i) + du (b(i) + du (c(i) + du d(i))), du = u - x(i), on the interval i with
  // x(i) <= u < x(i+1); below x1 the first and above xn the last cubic continues. The
  // interval of the last call is tried first, so a sweep across the knots costs no search
  // within an interval.
  Real operator()(Real u);

  std::size_t size() const { return n_; }
  // Coefficients of knot i (1-based): s'(x_i) = b, s''(x_i) = 2c, s'''(x_i) = 6d.
  Real b(std::size_t i) const { return b_[i]; }
  Real c(std::size_t i) const { return c_[i]; }
  Real d(std::size_t i) const { return d_[i]; }
  // The interval the last evaluation used (1-based).
  std::size_t interval() const { return i_; }

 private:
  void fit();
  std::size_t n_;
  // 1-based like the knots; element 0 is unused.
  std::vector<Real> x_, y_, b_, c_, d_;
  std::size_t i_ = 1;
};

}  // namespace tarvolin::plotting
