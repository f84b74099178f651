#include "engine/svd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "tests/support/test_support.h"

namespace tarvolin {
namespace {

using test::ExpectClose;

// Working precision of the 80-bit format is 1.08e-19; these bounds leave a factor of about
// 1000 for the accumulated rounding of matrices of this size.
constexpr Real kTight = 1e-16L;

// Entries uniform in [-1, 1); mt19937_64 is the same generator on every platform.
RealMatrix RandomMatrix(int m, int n, std::uint64_t seed, int extraCols = 0) {
  std::mt19937_64 random(seed);
  RealMatrix a(std::max(m, n), n + extraCols);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n + extraCols; ++j)
      a(i, j) = static_cast<Real>(random() >> 11) * 0x1p-52L - 1;
  return a;
}

// An m x n matrix of rank r: the product of random m x r and r x n factors.
RealMatrix LowRankMatrix(int m, int n, int r, std::uint64_t seed) {
  const RealMatrix b = RandomMatrix(m, r, seed);
  const RealMatrix c = RandomMatrix(r, n, seed + 1);
  RealMatrix a(m, n);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j)
      for (int k = 1; k <= r; ++k) a(i, j) += b(i, k) * c(k, j);
  return a;
}

struct Decomposition {
  RealMatrix u, v;
  std::vector<Real> w;
  int ierr = -1;
};

Decomposition Decompose(const RealMatrix& a, int m, int n) {
  Decomposition d{RealMatrix(m, n), RealMatrix(n, n), std::vector<Real>(n + 1, -1)};
  d.ierr = SVD(a, m, n, d.u, d.w.data(), d.v);
  return d;
}

// max |A - U diag(w) V^T|
Real ReconstructionError(const RealMatrix& a, int m, int n, const Decomposition& d) {
  Real worst = 0;
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= n; ++j) {
      Real sum = 0;
      for (int k = 1; k <= n; ++k) sum += d.u(i, k) * d.w[k] * d.v(j, k);
      worst = std::max(worst, std::fabs(a(i, j) - sum));
    }
  }
  return worst;
}

// max |Q_c^T Q_c - I| over the listed columns c of the first `rows` rows of q.
Real OrthogonalityError(const RealMatrix& q, int rows, const std::vector<int>& cols) {
  Real worst = 0;
  for (int p : cols) {
    for (int r : cols) {
      Real dot = 0;
      for (int i = 1; i <= rows; ++i) dot += q(i, p) * q(i, r);
      worst = std::max(worst, std::fabs(dot - (p == r ? 1 : 0)));
    }
  }
  return worst;
}

// Random matrices of every shape, two of them rank-deficient: the decomposition reproduces
// A, its values are not negative and its factors orthogonal (which makes the values those of
// A: A V = U W, so A^T A V = V W^2), as many values are nonzero as the rank, and decomposing
// in place gives the same factors.
TEST(SVD, DecomposesRandomMatricesOfEveryShape) {
  struct Case {
    int m, n, rank;
    std::uint64_t seed;
  };
  for (const Case& c : {Case{7, 7, 7, 11}, Case{12, 5, 5, 12}, Case{4, 9, 4, 13},
                        Case{10, 6, 3, 14}, Case{5, 8, 2, 15}, Case{30, 12, 12, 16}}) {
    SCOPED_TRACE(testing::Message() << c.m << " x " << c.n << " of rank " << c.rank);
    const RealMatrix a = c.rank < std::min(c.m, c.n) ? LowRankMatrix(c.m, c.n, c.rank, c.seed)
                                                     : RandomMatrix(c.m, c.n, c.seed);
    const Decomposition d = Decompose(a, c.m, c.n);
    ASSERT_EQ(d.ierr, 0);
    const Real wmax = *std::max_element(d.w.begin() + 1, d.w.end());
    EXPECT_LE(ReconstructionError(a, c.m, c.n, d), kTight * wmax);
    std::vector<int> all, nonzero;
    for (int k = 1; k <= c.n; ++k) {
      all.push_back(k);
      EXPECT_GE(d.w[k], 0) << "w(" << k << ")";
      if (d.w[k] > 1e-12L * wmax)
        nonzero.push_back(k);
      else
        EXPECT_LE(d.w[k], kTight * wmax) << "w(" << k << ") is zero to working precision";
    }
    EXPECT_EQ(static_cast<int>(nonzero.size()), c.rank);
    EXPECT_LE(OrthogonalityError(d.v, c.n, all), kTight);
    EXPECT_LE(OrthogonalityError(d.u, c.m, nonzero), kTight);

    // The input may be decomposed in place, as the statistics do with their Jacobian.
    RealMatrix inPlace = a, v(c.n, c.n);
    std::vector<Real> w2(c.n + 1);
    ASSERT_EQ(SVD(inPlace, c.m, c.n, inPlace, w2.data(), v), 0);
    for (int k = 1; k <= c.n; ++k) {
      EXPECT_EQ(w2[k], d.w[k]);
      for (int j = 1; j <= c.n; ++j) EXPECT_EQ(v(j, k), d.v(j, k));
      for (int i = 1; i <= c.m; ++i) EXPECT_EQ(inPlace(i, k), d.u(i, k));
    }
  }
}

// A zero matrix has zero values and an orthogonal V; a 1 x 1 negative entry comes out as a positive
// value with V = (-1); a single column (3, -4, 0, 12, 0) has its Euclidean norm 13 and U its
// direction. A NaN never converges: the last singular value is reported as the failing one. Storage
// smaller than the problem is refused.
TEST(SVD, DegenerateFailingAndUndersizedInput) {
  const Decomposition zero = Decompose(RealMatrix(4, 3), 4, 3);  // all values zero, V orthogonal
  EXPECT_EQ(zero.ierr, 0);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(zero.w[k], 0);
  EXPECT_LE(OrthogonalityError(zero.v, 3, {1, 2, 3}), kTight);
  RealMatrix one(1, 1);
  one(1, 1) = -2.5L;
  const Decomposition single = Decompose(one, 1, 1);
  EXPECT_EQ(single.w[1], 2.5L);
  EXPECT_EQ(single.u(1, 1) * single.w[1] * single.v(1, 1), -2.5L);
  RealMatrix column(5, 1);
  column(1, 1) = 3, column(2, 1) = -4, column(4, 1) = 12;
  const Decomposition col = Decompose(column, 5, 1);
  EXPECT_EQ(col.ierr, 0);
  EXPECT_TRUE(ExpectClose(col.w[1], 13, 1e-18L));
  for (int i = 1; i <= 5; ++i)
    EXPECT_TRUE(ExpectClose(col.u(i, 1) * col.v(1, 1) * 13, column(i, 1), 1e-18L));

  RealMatrix a = RandomMatrix(4, 3, 31, 1);
  a(2, 2) = std::numeric_limits<Real>::quiet_NaN();
  EXPECT_EQ(Decompose(a, 4, 3).ierr, 3);
  std::vector<Real> w(4), work(4);
  EXPECT_EQ(SvdSolve(a, 4, 3, w.data(), work.data()), 3);  // column 4 is the right-hand side

  RealMatrix b(5, 3), u(5, 3), small(2, 2), wide(2, 4);
  EXPECT_THROW(SVD(b, 5, 3, u, w.data(), small), std::invalid_argument);
  EXPECT_THROW(SVD(b, 6, 3, u, w.data(), b), std::invalid_argument);
  EXPECT_THROW(SvdSolve(b, 5, 3, w.data(), work.data()), std::invalid_argument);  // no n+1
  EXPECT_THROW(SvdSolve(wide, 2, 3, w.data(), work.data()), std::invalid_argument);
}

// The least-squares form on a tall problem, a wide one (rows m+1..n of U^T b must start from
// zero whatever the storage held) and one with a parameter without influence (a zero column):
// the same W and V as SVD bit for bit, U^T b in column n+1, and x = V diag(1/w) U^T b over the
// values above 1e-14 wmax satisfies the normal equations A^T (A x - b) = 0; an idle parameter
// (a zero column, also in a wide problem) gets a singular value of exactly 0 at its own index,
// its unit vector in V, exact zeros in its row of V, so exactly no correction, and A = U W V^T.
TEST(SvdSolve, MatchesSvdAndSolvesTheNormalEquations) {
  struct Case {
    int m, n, zeroColumn;
    std::uint64_t seed;
  };
  for (const Case& c :
       {Case{15, 4, 0, 41}, Case{3, 6, 0, 51}, Case{8, 4, 3, 61}, Case{3, 6, 2, 71}}) {
    SCOPED_TRACE(testing::Message() << c.m << " x " << c.n);
    const int m = c.m, n = c.n;
    RealMatrix a = RandomMatrix(m, n, c.seed, 1);
    if (c.zeroColumn)
      for (int i = 1; i <= m; ++i) a(i, c.zeroColumn) = 0;
    RealMatrix solved = a;
    for (int i = m + 1; i <= n; ++i)
      for (int j = 1; j <= n + 1; ++j) solved(i, j) = 1e6L;  // left over from an earlier use
    std::vector<Real> w(n + 1), work(n + 1);
    ASSERT_EQ(SvdSolve(solved, m, n, w.data(), work.data()), 0);
    const Decomposition d = Decompose(a, m, n);
    for (int k = 1; k <= n; ++k) {
      EXPECT_EQ(w[k], d.w[k]) << "w(" << k << ")";
      for (int j = 1; j <= n; ++j) EXPECT_EQ(solved(j, k), d.v(j, k));
      Real utb = 0;
      for (int i = 1; i <= m; ++i) utb += d.u(i, k) * a(i, n + 1);
      EXPECT_LE(std::fabs(solved(k, n + 1) - utb), kTight * std::sqrt(Real(m))) << k;
    }
    const Real wmax = *std::max_element(w.begin() + 1, w.end());
    std::vector<Real> x(n + 1), residual(m + 1);
    for (int j = 1; j <= n; ++j)
      if (w[j] > 1e-14L * wmax)
        for (int k = 1; k <= n; ++k) x[k] += solved(k, j) * solved(j, n + 1) / w[j];
    for (int i = 1; i <= m; ++i) {
      residual[i] = -a(i, n + 1);
      for (int k = 1; k <= n; ++k) residual[i] += a(i, k) * x[k];
    }
    for (int k = 1; k <= n; ++k) {
      Real normal = 0;
      for (int i = 1; i <= m; ++i) normal += a(i, k) * residual[i];
      EXPECT_LE(std::fabs(normal), 1e-16L) << "normal equation " << k;
    }
    for (int i = 1; m < n && i <= m; ++i) EXPECT_LE(std::fabs(residual[i]), 1e-17L) << i;
    if (c.zeroColumn) {
      const int zero = c.zeroColumn;
      EXPECT_EQ(w[zero], 0);
      for (int k = 1; k <= n; ++k) {
        EXPECT_EQ(solved(k, zero), k == zero ? 1 : 0);
        EXPECT_EQ(solved(zero, k), k == zero ? 1 : 0);
      }
      EXPECT_EQ(solved(zero, n + 1), 0);
      EXPECT_EQ(x[zero], 0);
      EXPECT_LE(ReconstructionError(a, m, n, d), kTight * wmax);
    }
  }
}

}  // namespace
}  // namespace tarvolin
