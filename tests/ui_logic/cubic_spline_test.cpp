#include "ui/results/plotting/cubic_spline.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/test_support.h"

namespace tarvolin::plotting {
namespace {

using test::ExpectClose;

// f(x) = 2x^3 - 3x^2 + x - 5.
Real cubic(Real x) { return ((2 * x - 3) * x + 1) * x - 5; }

struct Knots {
  std::vector<Real> x, y;
};

Knots knotsOf(std::vector<Real> x, Real (*f)(Real)) {
  Knots k{std::move(x), {}};
  for (const Real v : k.x) k.y.push_back(f(v));
  return k;
}

// With four or more knots the end conditions take the third derivative from the outermost
// four knots, which is exact for a cubic: the spline is the cubic itself, also beyond the ends.
TEST(CubicSpline, ReproducesACubicThroughFourOrMoreUnevenKnots) {
  for (const auto& x :
       {std::vector<Real>{0, 0.6L, 1.7L, 2}, std::vector<Real>{-1, 0, 0.6L, 1.7L, 2, 3.1L, 4, 7}}) {
    SCOPED_TRACE(x.size());
    const Knots k = knotsOf(x, cubic);
    CubicSpline s(k.x, k.y);
    for (Real u = -2; u <= 8; u += 0.0625L) EXPECT_TRUE(ExpectClose(s(u), cubic(u), 1e-14L)) << u;
  }
}

// Three knots: no third derivative at the ends, so a parabola comes back exactly.
TEST(CubicSpline, ThreeKnotsReproduceAParabola) {
  const auto parabola = [](Real x) { return (x - 2) * x + 3; };
  const Knots k = knotsOf({0, 1, 3}, parabola);
  CubicSpline s(k.x, k.y);
  for (Real u = -1; u <= 4; u += 0.125L) EXPECT_TRUE(ExpectClose(s(u), parabola(u), 1e-15L)) << u;
}

// Two knots give the straight segment, extended beyond both ends; fewer compute nothing.
TEST(CubicSpline, TwoKnotsGiveTheStraightSegment) {
  CubicSpline s(std::vector<Real>{2, 6}, std::vector<Real>{1, -1});
  for (const Real u : {0, 4, 6, 10}) EXPECT_EQ(s(u), 1 - (u - 2) / 2) << u;
  EXPECT_EQ(CubicSpline({}, {})(1), 0.0L);
  EXPECT_EQ(CubicSpline(std::vector<Real>{3}, std::vector<Real>{7})(-5), 7.0L);
}

// The interval of the last evaluation is kept between calls; the value never depends on the
// order of calls, jumps back and forth and beyond both ends included.
TEST(CubicSpline, KeepsTheIntervalBetweenCalls) {
  const Knots k = knotsOf({0, 1, 2, 3, 4, 5}, cubic);
  CubicSpline sweep(k.x, k.y);
  for (const Real u : {2.5L, -1.0L, 9.0L, 0.5L}) EXPECT_EQ(sweep(u), CubicSpline(k.x, k.y)(u));
  for (Real u = 5.5L; u >= -0.5L; u -= 0.25L) {
    CubicSpline fresh(k.x, k.y);
    EXPECT_EQ(sweep(u), fresh(u)) << u;
  }
}

}  // namespace
}  // namespace tarvolin::plotting
