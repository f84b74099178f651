#include "engine/svd.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

// Both decompositions run the same three stages on an m x n matrix Q held in place:
//
//   1. Householder bidiagonalisation. For i = 1..n a reflection from the left,
//      H_i = I - u u^T / h acting on rows i..m, zeroes column i below the diagonal, and a
//      reflection from the right zeroes row i right of the superdiagonal. The reflection
//      vectors stay in the zeroed parts of Q; the bidiagonal form keeps w(i) on the diagonal
//      and e(i) on the superdiagonal (e(1) = 0). x = max_i (|w(i)| + |e(i)|) is the scale
//      against which every later smallness test is made.
//   2. Accumulation of the right reflections into V (n x n), last reflection first; SVD also
//      accumulates the left ones into U, while the least-squares form has applied them to its
//      right-hand side already in stage 1 and keeps only U^T b.
//   3. Diagonalisation of the bidiagonal form by implicitly shifted QR sweeps (Golub and
//      Kahan's chasing of the bulge with Givens rotations), from the last singular value to
//      the first. Each rotation from the right is applied to the columns of V, each one from
//      the left to the columns of U or to the entries of U^T b: only that last step differs
//      between the two forms and is passed in as `rotateLeft`.
//
// The order of every sum and product follows Golub and Reinsch's published procedure: the
// fitted constants and their standard deviations printed in the reports depend on it to the
// last digit. Lengths are formed as sqrt(f*f + h*h) and the shift as in that procedure (the
// extended exponent range leaves no room for the overflow that later scaled variants guard
// against). Loops over a column are rearranged into loops over rows where that leaves each
// individual sum unchanged (same terms, same order), because the matrix is stored by rows and
// a Jacobian can hold 3300 rows.

namespace tarvolin {
namespace {

// Most QR sweeps for one singular value before the decomposition gives up.
constexpr int kMaxSweeps = 30;

// True when |value| is below the resolution of the scale x: x + |value| rounds back to x.
// The sum goes through a volatile so that the comparison is made on the rounded sum and
// cannot be folded into "value == 0" or evaluated in a wider register.
bool negligible(Real x, Real value) {
  volatile Real sum = x + std::fabs(value);
  return sum == x;
}

// Stage 1 on rows 1..m, columns 1..n of q. With a right-hand side, every left reflection is
// applied to column n+1 as well. Leaves the diagonal in w[1..n], the superdiagonal in
// e[1..n] and the reflection vectors in q; returns x = max_i (|w(i)| + |e(i)|).
Real bidiagonalise(RealMatrix& q, int m, int n, bool withRhs, Real* w, Real* e) {
  const int rhs = n + 1;
  Real g = 0;
  Real scale = 0;
  Real x = 0;
  for (int i = 1; i <= n; ++i) {
    const int l = i + 1;
    e[i] = scale * g;
    g = 0;
    Real s = 0;
    scale = 0;
    if (i <= m) {
      // Left reflection: column i, rows i..m.
      for (int k = i; k <= m; ++k) scale += std::fabs(q(k, i));
      if (scale != 0) {
        for (int k = i; k <= m; ++k) {
          q(k, i) /= scale;
          s += q(k, i) * q(k, i);
        }
        Real f = q(i, i);
        g = f < 0 ? std::sqrt(s) : -std::sqrt(s);
        const Real h = f * g - s;
        q(i, i) = f - g;
        // Apply it to columns l..n (and the right-hand side): for each column j,
        // s_j = sum over k = i..m of q(k,i) q(k,j), then q(k,j) += (s_j / h) q(k,i).
        // The sums s_j are gathered row by row in e[l..n], which is free until the right
        // reflection of this step fills it.
        for (int j = l; j <= n; ++j) e[j] = 0;
        Real sRhs = 0;
        for (int k = i; k <= m; ++k) {
          const Real* row = q.row(k);
          const Real qki = row[i];
          for (int j = l; j <= n; ++j) e[j] += qki * row[j];
          if (withRhs) sRhs += qki * row[rhs];
        }
        for (int j = l; j <= n; ++j) e[j] /= h;
        sRhs /= h;
        for (int k = i; k <= m; ++k) {
          Real* row = q.row(k);
          const Real qki = row[i];
          for (int j = l; j <= n; ++j) row[j] += e[j] * qki;
          if (withRhs) row[rhs] += sRhs * qki;
        }
        for (int k = i; k <= m; ++k) q(k, i) *= scale;
      }
    }
    w[i] = scale * g;
    g = 0;
    s = 0;
    scale = 0;
    if (i <= m && i != n) {
      // Right reflection: row i, columns l..n; its vector divided by h goes to e[l..n].
      Real* rowI = q.row(i);
      for (int k = l; k <= n; ++k) scale += std::fabs(rowI[k]);
      if (scale != 0) {
        for (int k = l; k <= n; ++k) {
          rowI[k] /= scale;
          s += rowI[k] * rowI[k];
        }
        const Real f = rowI[l];
        g = f < 0 ? std::sqrt(s) : -std::sqrt(s);
        const Real h = f * g - s;
        rowI[l] = f - g;
        for (int k = l; k <= n; ++k) e[k] = rowI[k] / h;
        for (int j = l; j <= m; ++j) {
          Real* rowJ = q.row(j);
          Real sj = 0;
          for (int k = l; k <= n; ++k) sj += rowJ[k] * rowI[k];
          for (int k = l; k <= n; ++k) rowJ[k] += sj * e[k];
        }
        for (int k = l; k <= n; ++k) rowI[k] *= scale;
      }
    }
    x = std::max(x, std::fabs(w[i]) + std::fabs(e[i]));
  }
  return x;
}

// Stage 2, right side: V = P_1 P_2 ... P_(n-1) from the row reflections kept in q, built
// from the last one backwards. v may be the same object as q: step i reads row i of q and
// writes only rows i..n of v, and the rows below i of q are no longer needed.
void accumulateRight(const RealMatrix& q, int n, const Real* e, RealMatrix& v) {
  for (int i = n; i >= 1; --i) {
    const int l = i + 1;
    if (i < n) {
      const Real g = e[l];
      if (g != 0) {
        // Two divisions rather than one by the product, which could underflow.
        for (int j = l; j <= n; ++j) v(j, i) = (q(i, j) / q(i, l)) / g;
        for (int j = l; j <= n; ++j) {
          Real s = 0;
          for (int k = l; k <= n; ++k) s += q(i, k) * v(k, j);
          for (int k = l; k <= n; ++k) v(k, j) += s * v(k, i);
        }
      }
      for (int j = l; j <= n; ++j) {
        v(i, j) = 0;
        v(j, i) = 0;
      }
    }
    v(i, i) = 1;
  }
}

// Stage 2, left side (SVD only): U = H_1 H_2 ... H_min(m,n) in place of the column
// reflections, last one first. scratch[1..n] holds the column sums of one step.
void accumulateLeft(RealMatrix& u, int m, int n, const Real* w, Real* scratch) {
  const int mn = std::min(m, n);
  for (int i = mn; i >= 1; --i) {
    const int l = i + 1;
    const Real g = w[i];
    for (int j = l; j <= n; ++j) u(i, j) = 0;
    if (g != 0) {
      if (i != mn) {
        // For each column j > i: s_j = sum over k = l..m of u(k,i) u(k,j),
        // f_j = (s_j / u(i,i)) / g, then u(k,j) += f_j u(k,i) for k = i..m.
        for (int j = l; j <= n; ++j) scratch[j] = 0;
        for (int k = l; k <= m; ++k) {
          const Real* row = u.row(k);
          const Real uki = row[i];
          for (int j = l; j <= n; ++j) scratch[j] += uki * row[j];
        }
        for (int j = l; j <= n; ++j) scratch[j] = (scratch[j] / u(i, i)) / g;
        for (int k = i; k <= m; ++k) {
          Real* row = u.row(k);
          const Real uki = row[i];
          for (int j = l; j <= n; ++j) row[j] += scratch[j] * uki;
        }
      }
      for (int j = i; j <= m; ++j) u(j, i) /= g;
    } else {
      for (int j = i; j <= m; ++j) u(j, i) = 0;
    }
    u(i, i) += 1;
  }
}

// Columns p and q of v, rows 1..rows, turned by the rotation (c, s).
void rotateColumns(RealMatrix& v, int rows, int p, int q, Real c, Real s) {
  for (int j = 1; j <= rows; ++j) {
    Real* row = v.row(j);
    const Real y = row[p];
    const Real z = row[q];
    row[p] = y * c + z * s;
    row[q] = -y * s + z * c;
  }
}

// Stage 3. Diagonalises the bidiagonal form (w, e) of scale x, turning the columns of v
// with each rotation from the right and calling rotateLeft(p, q, c, s) for each one from
// the left. Returns 0, or the index k of the singular value that had not converged after
// kMaxSweeps sweeps (w, e and the transformations are then left as they stand).
template <typename RotateLeft>
int diagonalise(int n, Real x, Real* w, Real* e, RealMatrix& v, RotateLeft rotateLeft) {
  for (int k = n; k >= 1; --k) {
    int sweeps = 0;
    for (;;) {
      // Splitting: find the largest l <= k with e(l) negligible (the block l..k is then
      // unreduced) or with w(l-1) negligible (e(l) must then be cancelled first). e(1) is
      // always zero, so the search ends at l = 1 at the latest.
      int l = k;
      bool cancel = false;
      for (;; --l) {
        if (l == 1 || negligible(x, e[l])) break;
        if (negligible(x, w[l - 1])) {
          cancel = true;
          break;
        }
      }
      if (cancel) {
        // w(l-1) is zero to working precision: chase e(l) out along row l-1 with
        // rotations from the left between rows l-1 and i = l..k.
        const int l1 = l - 1;
        Real c = 0;
        Real s = 1;
        for (int i = l; i <= k; ++i) {
          const Real f = s * e[i];
          e[i] = c * e[i];
          if (negligible(x, f)) break;
          const Real g = w[i];
          const Real h = std::sqrt(f * f + g * g);
          w[i] = h;
          c = g / h;
          s = -f / h;
          rotateLeft(l1, i, c, s);
        }
      }
      Real z = w[k];
      if (l == k) {
        // Converged: w(k) is a singular value, made non-negative by turning v_k round.
        if (z < 0) {
          w[k] = -z;
          for (int j = 1; j <= n; ++j) v(j, k) = -v(j, k);
        }
        break;
      }
      if (sweeps == kMaxSweeps) return k;
      ++sweeps;
      // Shift: the eigenvalue of the trailing 2 x 2 block of B^T B nearer to w(k)^2.
      Real xl = w[l];
      Real y = w[k - 1];
      Real g = e[k - 1];
      Real h = e[k];
      Real f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0L * h * y);
      g = std::sqrt(f * f + 1.0L);
      f = ((xl - z) * (xl + z) + h * (y / (f < 0 ? f - g : f + g) - h)) / xl;
      // One QR sweep from l to k: alternate rotations from the right (columns i-1, i)
      // and from the left (rows i-1, i) chase the bulge down the band.
      Real c = 1;
      Real s = 1;
      for (int i1 = l; i1 <= k - 1; ++i1) {
        const int i = i1 + 1;
        g = e[i];
        y = w[i];
        h = s * g;
        g = c * g;
        z = std::sqrt(f * f + h * h);
        e[i1] = z;
        if (z != 0) {
          c = f / z;
          s = h / z;
        } else {
          // f = h = 0: any rotation will do; the identity keeps v orthogonal.
          c = 1;
          s = 0;
        }
        f = xl * c + g * s;
        g = -xl * s + g * c;
        h = y * s;
        y = y * c;
        rotateColumns(v, n, i1, i, c, s);
        z = std::sqrt(f * f + h * h);
        w[i1] = z;
        // With z = 0 the rotation is arbitrary: the previous one is kept.
        if (z != 0) {
          c = f / z;
          s = h / z;
        }
        f = c * g + s * y;
        xl = -s * g + c * y;
        rotateLeft(i1, i, c, s);
      }
      e[l] = 0;
      e[k] = f;
      w[k] = xl;
    }
  }
  return 0;
}

void requireSize(bool ok, const char* what) {
  if (!ok) throw std::invalid_argument(what);
}

// The columns of rows 1..m that are not exactly zero, in increasing order.
std::vector<int> nonZeroColumns(const RealMatrix& q, int m, int n) {
  std::vector<int> kept;
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= m; ++i) {
      if (q(i, j) != 0) {
        kept.push_back(j);
        break;
      }
    }
  }
  return kept;
}

// Columns kept[t] of rows 1..m moved to columns t, from the first on (kept[t] >= t).
void compactColumns(RealMatrix& q, int m, const std::vector<int>& kept) {
  for (int t = 1; t <= static_cast<int>(kept.size()); ++t) {
    const int c = kept[static_cast<std::size_t>(t) - 1];
    if (c == t) continue;
    for (int i = 1; i <= m; ++i) q(i, t) = q(i, c);
  }
}

// The n' x n' matrix V' of the decomposition of the kept columns, spread over the n x n
// matrix v: V(kept[s], kept[t]) = V'(s, t), a unit vector for each zero column, and w of each
// zero column exactly 0.
void spreadRightFactor(RealMatrix& v, int n, Real* w, const std::vector<int>& kept) {
  const int kn = static_cast<int>(kept.size());
  std::vector<Real> reduced(static_cast<std::size_t>(kn) * kn);
  std::vector<Real> values(static_cast<std::size_t>(kn));
  for (int s = 1; s <= kn; ++s) {
    values[s - 1] = w[s];
    for (int t = 1; t <= kn; ++t) reduced[(s - 1) * kn + (t - 1)] = v(s, t);
  }
  for (int j = 1; j <= n; ++j) {
    w[j] = 0;
    for (int k = 1; k <= n; ++k) v(j, k) = j == k ? 1 : 0;
  }
  for (int s = 1; s <= kn; ++s) {
    const int cs = kept[s - 1];
    w[cs] = values[s - 1];
    v(cs, cs) = 0;
    for (int t = 1; t <= kn; ++t) v(cs, kept[t - 1]) = reduced[(s - 1) * kn + (t - 1)];
  }
}

// Stages 1 to 3 of SVD on a matrix already copied into u.
int decompose(RealMatrix& u, int m, int n, Real* w, RealMatrix& v) {
  if (n == 0) return 0;
  std::vector<Real> e(static_cast<std::size_t>(n) + 1);
  std::vector<Real> scratch(static_cast<std::size_t>(n) + 1);
  const Real x = bidiagonalise(u, m, n, false, w, e.data());
  accumulateRight(u, n, e.data(), v);
  accumulateLeft(u, m, n, w, scratch.data());
  return diagonalise(n, x, w, e.data(), v,
                     [&u, m](int p, int q, Real c, Real s) { rotateColumns(u, m, p, q, c, s); });
}

// Stages 1 to 3 of SvdSolve.
int decomposeWithRhs(RealMatrix& a, int m, int n, Real* w, Real* work) {
  if (n == 0) return 0;
  const int rhs = n + 1;
  const Real x = bidiagonalise(a, m, n, true, w, work);
  accumulateRight(a, n, work, a);
  // With fewer points than parameters the problem is completed to n rows by zero rows, whose
  // right-hand side is zero; the QR sweeps then mix these rows into U^T b like the others.
  for (int i = m + 1; i <= n; ++i) a(i, rhs) = 0;
  return diagonalise(n, x, w, work, a, [&a, rhs](int p, int q, Real c, Real s) {
    const Real y = a(p, rhs);
    const Real z = a(q, rhs);
    a(p, rhs) = y * c + z * s;
    a(q, rhs) = -y * s + z * c;
  });
}

// The number of a failed singular value of the reduced problem as a column number.
int spreadFailure(int failed, const std::vector<int>& kept) {
  return failed == 0 ? 0 : kept[static_cast<std::size_t>(failed) - 1];
}

}  // namespace

// A column that is exactly zero (a parameter without any influence on the data) is split off
// before the decomposition: A = [A' 0] has the singular values of A' and one exact zero, whose
// right singular vector is the column's unit vector. Decomposing A' alone keeps that zero
// exact and keeps every other singular vector exactly free of the idle parameter, which the
// sweeps over the whole matrix would leave at rounding level instead.
int SVD(const RealMatrix& a, int m, int n, RealMatrix& u, Real* w, RealMatrix& v) {
  requireSize(m >= 0 && n >= 0, "SVD: negative matrix dimension");
  requireSize(a.rows() >= m && a.cols() >= n, "SVD: matrix smaller than m x n");
  requireSize(u.rows() >= m && u.cols() >= n, "SVD: U smaller than m x n");
  requireSize(v.rows() >= n && v.cols() >= n, "SVD: V smaller than n x n");
  requireSize(&v != &u, "SVD: U and V must be different matrices");
  if (&u != &a) {
    for (int i = 1; i <= m; ++i) std::copy(a.row(i) + 1, a.row(i) + n + 1, u.row(i) + 1);
  }
  const std::vector<int> kept = nonZeroColumns(u, m, n);
  const int kn = static_cast<int>(kept.size());
  if (kn == n) return decompose(u, m, n, w, v);
  compactColumns(u, m, kept);
  const int failed = decompose(u, m, kn, w, v);
  // Column t of U' belongs to column kept[t]; the zero columns get zero columns of U.
  for (int t = kn; t >= 1; --t) {
    const int c = kept[static_cast<std::size_t>(t) - 1];
    if (c == t) continue;
    for (int i = 1; i <= m; ++i) u(i, c) = u(i, t);
  }
  for (int j = 1, t = 0; j <= n; ++j) {
    if (t < kn && kept[static_cast<std::size_t>(t)] == j) {
      ++t;
      continue;
    }
    for (int i = 1; i <= m; ++i) u(i, j) = 0;
  }
  spreadRightFactor(v, n, w, kept);
  return spreadFailure(failed, kept);
}

int SvdSolve(RealMatrix& a, int m, int n, Real* w, Real* work) {
  requireSize(m >= 0 && n >= 0, "SvdSolve: negative matrix dimension");
  requireSize(a.rows() >= std::max(m, n) && a.cols() >= n + 1,
              "SvdSolve: matrix smaller than max(m, n) x (n + 1)");
  if (n == 0) return 0;
  const std::vector<int> kept = nonZeroColumns(a, m, n);
  const int kn = static_cast<int>(kept.size());
  if (kn == n) return decomposeWithRhs(a, m, n, w, work);
  // The right-hand side moves along as column kn + 1.
  std::vector<int> keptWithRhs = kept;
  keptWithRhs.push_back(n + 1);
  compactColumns(a, m, keptWithRhs);
  const int failed = decomposeWithRhs(a, m, kn, w, work);
  // U^T b of the reduced problem belongs to the kept columns; a zero column's entry is 0.
  std::vector<Real> utb(static_cast<std::size_t>(kn));
  for (int t = 1; t <= kn; ++t) utb[t - 1] = a(t, kn + 1);
  for (int j = 1; j <= n; ++j) a(j, n + 1) = 0;
  for (int t = 1; t <= kn; ++t) a(kept[t - 1], n + 1) = utb[t - 1];
  spreadRightFactor(a, n, w, kept);
  return spreadFailure(failed, kept);
}

}  // namespace tarvolin
