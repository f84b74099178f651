#include "engine/nelder_mead.h"

#include <cmath>

namespace tarvolin {

NelderMead::NelderMead(int maxDimension) : maxDimension_(-1) { reserve(maxDimension); }

void NelderMead::reserve(int n) {
  if (n <= maxDimension_) return;
  maxDimension_ = n;
  stride_ = static_cast<std::size_t>(n) + 1;
  table_.assign(static_cast<std::size_t>(n + 5) * stride_, 0);
  values_.assign(static_cast<std::size_t>(n) + 5, 0);
}

void NelderMead::buildInitialSimplex(const Real* x0, Real step) {
  const Real n = n_;
  const Real scale = step / (n * std::sqrt(2.0L));
  const Real p = scale * (n - 1 + std::sqrt(n + 1));
  const Real q = scale * (std::sqrt(n + 1) - 1);
  Real* first = row(1);
  for (int j = 1; j <= n_; ++j) first[j] = x0[j];
  for (int v = 2; v <= n_ + 1; ++v) {
    Real* vertex = row(v);
    for (int j = 1; j <= n_; ++j) vertex[j] = x0[j] - (j == v - 1 ? p : q);
  }
}

void NelderMead::findWorstAndBest() {
  high_ = 1;
  low_ = 1;
  for (int v = 2; v <= n_ + 1; ++v) {
    if (value(v) > value(high_)) high_ = v;
    if (value(v) < value(low_)) low_ = v;
  }
  highValue_ = value(high_);
  lowValue_ = value(low_);
}

void NelderMead::computeCentroid() {
  Real* centroid = row(n_ + 2);
  const Real* worstVertex = row(high_);
  for (int j = 1; j <= n_; ++j) {
    Real sum = 0;
    for (int v = 1; v <= n_ + 1; ++v) sum += row(v)[j];
    centroid[j] = (sum - worstVertex[j]) / n_;
  }
}

void NelderMead::combine(int target, Real ca, int ra, Real cb, int rb) {
  Real* t = row(target);
  const Real* a = row(ra);
  const Real* b = row(rb);
  for (int j = 1; j <= n_; ++j) t[j] = ca * a[j] + cb * b[j];
}

void NelderMead::copyRow(int target, int source) {
  if (target == source) return;
  Real* t = row(target);
  const Real* s = row(source);
  for (int j = 1; j <= n_; ++j) t[j] = s[j];
}

// The worst vertex other than h: the scan starts at vertex 1 (vertex 2 when h is 1) and moves
// on only to a strictly larger value.
int NelderMead::secondWorst() const {
  int s = high_ == 1 ? 2 : 1;
  for (int v = 1; v <= n_ + 1; ++v) {
    if (v != high_ && value(v) > value(s)) s = v;
  }
  return s;
}

void NelderMead::shrinkTowardsBest() {
  const Real* bestVertex = row(low_);
  for (int v = 1; v <= n_ + 1; ++v) {
    if (v == low_) continue;  // (x_l + x_l) / 2 is x_l
    Real* vertex = row(v);
    for (int j = 1; j <= n_; ++j) vertex[j] = (vertex[j] + bestVertex[j]) / 2;
  }
}

}  // namespace tarvolin
