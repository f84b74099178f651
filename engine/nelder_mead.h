#pragma once
// Downhill simplex of Nelder and Mead, the core shared by the mass-balance fallback of the
// speciation solver (minimising the squared mass-balance residuals over ln of the free
// concentrations) and by the simplex fitting method (minimising the weighted sum of squared
// residuals over the transformed parameters).
//
// The two users differ only in what they do at the start and at the end of an iteration (the
// fitting method processes pending user events and may stop on Cancel; each has its own end
// test and report). Those are the caller's `beginIteration` and `endIteration`; every
// geometric step, its order and its tie rules live here once:
//
//   rows 1..n+1  vertices          row n+2  centroid of all vertices but the worst
//   row  n+3     reflected point   row n+4  expanded or contracted point
//
//   h = worst vertex, l = best vertex (scan from vertex 1; a later vertex replaces the
//       candidate only when strictly worse, or strictly better: ties go to the lowest index)
//   c = (sum of all vertices - x_h) / n
//   r = (1 + alpha) c - alpha x_h                                         alpha = 1
//   F_r < F_l:  e = gamma r + (1 - gamma) c,  x_h := (F_e < F_l ? e : r)   gamma = 2
//   otherwise, s = worst vertex other than h:
//     F_r <= F_s:  x_h := r
//     F_r >  F_s:  if F_r <= F_h, x_h takes r's coordinates (its F is kept);
//                  k = (1 - beta) c + beta x_h,                             beta = 0.5
//                  F_k < F_h: x_h := k;  else every x_v := (x_v + x_l) / 2 and all are
//                  evaluated again
//   the centroid c is evaluated last, so the problem is left holding its state.
// An accepted point is evaluated once more at its new place (F of vertex h is recomputed, not
// copied), because an evaluation also leaves the problem's state at the evaluated point.
//
// A Problem provides
//   Real evaluate(const Real* point);                     point[1..n]
//   bool beginIteration(int k);                           false: stop before iteration k
//   bool endIteration(int k, const NelderMead& simplex);  true: stop after iteration k
//
// A problem whose evaluations are repeatable declares so:
//   static constexpr bool kRepeatable = true;
//   bool mayFailAt(const Real* point);    an evaluation there could raise a fault
// Repeatable means: evaluate gives the same value at the same point, with the same faults,
// whatever was evaluated before, and what it leaves behind is replaced by the next
// evaluation; endIteration does not read the centroid's value. Such a problem is not asked
// again for a value the simplex already holds: an accepted point takes the value of its
// evaluation as r, e or k, the best vertex keeps its value in a shrink, and vertex 1 takes a
// value given to start. The centroid of an iteration is evaluated only after the last
// iteration, where it is the result, and wherever an evaluation could fail, so that a fault
// shows where it did before. Every skipped evaluation would have given the value already held
// and left a state that the next evaluation replaces.

#include <cstddef>
#include <vector>

#include "base/real.h"

namespace tarvolin {

class NelderMead {
 public:
  // Storage for problems of up to maxDimension variables; a larger problem grows it.
  explicit NelderMead(int maxDimension = 0);

  int dimension() const { return n_; }
  int maxDimension() const { return maxDimension_; }

  // Row r of the table as a 1-based array of n values, and the objective value stored with it.
  Real* row(int r) { return table_.data() + static_cast<std::size_t>(r) * stride_; }
  const Real* row(int r) const { return table_.data() + static_cast<std::size_t>(r) * stride_; }
  Real& value(int r) { return values_[static_cast<std::size_t>(r)]; }
  Real value(int r) const { return values_[static_cast<std::size_t>(r)]; }

  int centroidRow() const { return n_ + 2; }
  // Worst and best vertex of the current iteration and their values as they were found at its
  // start (before any vertex moved).
  int worst() const { return high_; }
  int best() const { return low_; }
  Real worstValue() const { return highValue_; }
  Real bestValue() const { return lowValue_; }

  // Regular simplex of edge `step` around x0 (x0[1..n]): vertex 1 is x0, vertex v = 2..n+1 is
  // x0 minus an offset of q in every coordinate except coordinate v-1, which is offset by p:
  //   p = step / (n sqrt 2) (n - 1 + sqrt(n + 1)),  q = step / (n sqrt 2) (sqrt(n + 1) - 1).
  // Then evaluates the vertices 1..n+1 in order; a repeatable problem may give the value at x0
  // (valueAtX0) that it has already computed.
  template <class Problem>
  void start(Problem& problem, const Real* x0, int n, Real step, const Real* valueAtX0 = nullptr);

  // Iterates from k = 1 until the problem ends it; returns the last k.
  template <class Problem>
  int iterate(Problem& problem);

 private:
  static constexpr Real kAlpha = 1.0L;  // reflection
  static constexpr Real kBeta = 0.5L;   // contraction
  static constexpr Real kGamma = 2.0L;  // expansion

  void reserve(int n);
  void buildInitialSimplex(const Real* x0, Real step);
  void findWorstAndBest();
  void computeCentroid();
  // row target := ca * row ra + cb * row rb, coordinate by coordinate.
  void combine(int target, Real ca, int ra, Real cb, int rb);
  void copyRow(int target, int source);
  int secondWorst() const;
  void shrinkTowardsBest();

  template <class Problem>
  void evaluateRow(Problem& problem, int r) {
    value(r) = problem.evaluate(row(r));
  }
  template <class Problem>
  static constexpr bool repeatable() {
    if constexpr (requires { Problem::kRepeatable; })
      return Problem::kRepeatable;
    else
      return false;
  }
  // Vertex h takes the point of row r and is evaluated there again (a repeatable problem's
  // value there is the one r has).
  template <class Problem>
  void accept(Problem& problem, int r) {
    copyRow(high_, r);
    if constexpr (repeatable<Problem>())
      value(high_) = value(r);
    else
      evaluateRow(problem, high_);
  }
  // After a shrink every vertex but the best has moved; the best one also when it was the
  // worst (all values equal) and took the reflected point.
  template <class Problem>
  void evaluateAfterShrink(Problem& problem, bool bestMoved) {
    for (int v = 1; v <= n_ + 1; ++v) {
      if constexpr (repeatable<Problem>())
        if (v == low_ && !bestMoved) continue;
      evaluateRow(problem, v);
    }
  }
  // The centroid is evaluated last, so that the problem is left at it; true ends the
  // iteration loop.
  template <class Problem>
  bool endIteration(Problem& problem, int k) {
    const int c = n_ + 2;
    if constexpr (repeatable<Problem>()) {
      const bool last = problem.endIteration(k, *this);
      if (last || problem.mayFailAt(row(c))) evaluateRow(problem, c);
      return last;
    } else {
      evaluateRow(problem, c);
      return problem.endIteration(k, *this);
    }
  }

  int maxDimension_;
  std::size_t stride_;
  std::vector<Real> table_;
  std::vector<Real> values_;
  int n_ = 0;
  int high_ = 1;
  int low_ = 1;
  Real highValue_ = 0;
  Real lowValue_ = 0;
};

template <class Problem>
void NelderMead::start(Problem& problem, const Real* x0, int n, Real step, const Real* valueAtX0) {
  reserve(n);
  n_ = n;
  buildInitialSimplex(x0, step);
  int v = 1;
  if constexpr (repeatable<Problem>()) {
    if (valueAtX0 != nullptr) value(v++) = *valueAtX0;
  }
  for (; v <= n_ + 1; ++v) evaluateRow(problem, v);
}

template <class Problem>
int NelderMead::iterate(Problem& problem) {
  const int c = n_ + 2;
  const int r = n_ + 3;
  const int e = n_ + 4;
  for (int k = 1;; ++k) {
    if (!problem.beginIteration(k)) return k;
    findWorstAndBest();
    computeCentroid();
    combine(r, 1 + kAlpha, c, -kAlpha, high_);
    evaluateRow(problem, r);
    if (value(r) < lowValue_) {
      combine(e, kGamma, r, 1 - kGamma, c);
      evaluateRow(problem, e);
      accept(problem, value(e) < lowValue_ ? e : r);
    } else if (value(r) <= value(secondWorst())) {
      accept(problem, r);
    } else {
      const bool reflected = value(r) <= highValue_;
      if (reflected) copyRow(high_, r);
      combine(e, 1 - kBeta, c, kBeta, high_);
      evaluateRow(problem, e);
      if (value(e) < highValue_) {
        accept(problem, e);
      } else {
        shrinkTowardsBest();
        evaluateAfterShrink(problem, reflected && high_ == low_);
      }
    }
    if (endIteration(problem, k)) return k;
  }
}

}  // namespace tarvolin
