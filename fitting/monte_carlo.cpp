#include "fitting/monte_carlo.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/number_format.h"
#include "engine/parameter_transform.h"
#include "fitting/progress.h"

namespace tarvolin {

Real nextUniform(std::uint32_t& seed) {
  seed = seed * 134775813u + 1u;
  return static_cast<Real>(seed) * 0x1p-32L;
}

namespace {

constexpr Real kBoxSizeFactor = 2.0L;
constexpr Real kBoundaryDistance = 0.1L;

class Search {
 public:
  Search(Engine& engine, MonteCarloState& state)
      : engine_(engine), m_(engine.model), state_(state), n_(engine.model.NFit) {}

  void run();

 private:
  Real evaluate() { return engine_.EvaluateObjective(); }
  void setUpIntervals();
  bool trial(Real t);  // false on Cancel
  void writeSummary();
  void boundaryTest();
  void copyBestIntoX() {
    for (int j = 1; j <= n_; ++j) engine_.x[j] = best_[j];
  }

  Engine& engine_;
  Model& m_;
  MonteCarloState& state_;
  int n_;
  Real X0_[kMaxFitted + 1] = {};
  Real A_[kMaxFitted + 1] = {};
  Real B_[kMaxFitted + 1] = {};
  Real D_[kMaxFitted + 1] = {};
  Real best_[kMaxFitted + 1] = {};
  Real F0_ = 0, FA_ = 0, FB_ = 0, Fbest_ = 0;
  std::uint32_t startSeed_ = 0;
};

// A and B: the start values scaled by 1 - Step and 1 + Step, in the transformed scale; a
// negative start value gets them exchanged so that A < B.
void Search::setUpIntervals() {
  Real* x = engine_.x;
  engine_.ParamScale = 1 - m_.Step;
  engine_.PackParameters();
  for (int j = 1; j <= n_; ++j) A_[j] = x[j];
  FA_ = evaluate();

  for (int j = 1; j <= n_; ++j) x[j] = X0_[j];
  engine_.UnpackParameters();
  engine_.ParamScale = 1 + m_.Step;
  engine_.PackParameters();
  for (int j = 1; j <= n_; ++j) {
    B_[j] = x[j];
    if (B_[j] < A_[j]) std::swap(A_[j], B_[j]);
    D_[j] = B_[j] - A_[j];
  }
  FB_ = evaluate();
}

bool Search::trial(Real t) {
  Real* x = engine_.x;
  for (int j = 1; j <= n_; ++j) {
    const Real h = D_[j] / t;
    const Real lo = std::max(best_[j] - h, A_[j]);
    const Real hi = std::min(best_[j] + h, B_[j]);
    const Real w = hi - lo;
    x[j] = lo + w * nextUniform(state_.Seed);
  }
  const Real F = evaluate();
  processUserEvents(engine_);
  if (m_.CancelRequested) {
    state_.BoundaryFlag = 0;
    writeSummary();
    return false;
  }
  ++state_.TrialCount;
  showFitProgress(engine_, state_.TrialCount, Fbest_);
  if (F < Fbest_) {
    Fbest_ = F;
    for (int j = 1; j <= n_; ++j) best_[j] = x[j];
  }
  return true;
}

// MonteCarloReport: start vector, intervals and estimate (transformed), the estimate's values,
// the objective at the three reference vectors and at the estimate; then x := the estimate.
void Search::writeSummary() {
  TextWriter& out = engine_.report;
  auto e12 = [](Real v) { return fmt::scientific(v, 12); };
  out.line(std::string("Initial Vector X, Searching Interval [A,B], ") +
           "(Estimated Vector) and Values:");
  for (int j = 1; j <= n_; ++j)
    out.line(fmt::integer(j, 3) + ". " + e12(X0_[j]) + " [" + e12(A_[j]) + " , " + e12(B_[j]) +
             "] (" + e12(best_[j]) + ") " + e12(hyperbolicSine(best_[j])));
  out.line("");
  out.line(std::string("The Function at Initial X, at Interval [A, B] and ") + "After Iteration " +
           fmt::integer(state_.TrialCount, 5) + ":");
  out.line("      " + e12(F0_) + " [" + e12(FA_) + " , " + e12(FB_) + "] " + "  F= " +
           e12(Fbest_));
  out.line("");
  out.line("Parameters:  NX=" + fmt::integer(n_, 2) + "  SIZE= +-" + fmt::fixed(m_.Step, 9, 2) +
           "   MI= " + fmt::integer(kMonteCarloTrials, 5) + "   LI= " +
           fmt::integer(kMonteCarloSizes, 3) + "   NI= " + fmt::integer(kMonteCarloPasses, 3));
  // A seed the user gave is recorded, so that the search can be repeated.
  if (m_.SeedGiven) out.line("Random seed: " + fmt::integer(startSeed_));
  copyBestIntoX();
}

// The estimate counts as near an interval end within 10 % (relative, transformed scale).
void Search::boundaryTest() {
  const Real* x = engine_.x;
  state_.BoundaryFlag = 0;
  for (int j = 1; j <= n_; ++j) {
    if (A_[j] != 0 && std::fabs((x[j] - A_[j]) / A_[j]) < kBoundaryDistance)
      state_.BoundaryFlag = 1;
    if (B_[j] != 0 && std::fabs((B_[j] - x[j]) / B_[j]) < kBoundaryDistance)
      state_.BoundaryFlag = 1;
  }
}

void Search::run() {
  state_.TrialCount = 0;
  if (!m_.SeedGiven)
    state_.Seed = static_cast<std::uint32_t>(engine_.platform.tickCount() & 0xFFFFFFFFu);
  startSeed_ = state_.Seed;
  F0_ = Fbest_ = evaluate();
  for (int j = 1; j <= n_; ++j) X0_[j] = best_[j] = engine_.x[j];
  setUpIntervals();

  for (int pass = 1; pass <= kMonteCarloPasses; ++pass) {
    Real t = 0.5L;
    for (int size = 1; size <= kMonteCarloSizes; ++size) {
      t = kBoxSizeFactor * t;
      for (int k = 1; k <= kMonteCarloTrials; ++k) {
        if (!trial(t)) {
          m_.RunIncomplete = 0;
          return;
        }
      }
    }
  }
  if (!m_.FitOneByOne)
    writeSummary();
  else
    copyBestIntoX();
  boundaryTest();
  m_.RunIncomplete = 0;
}

}  // namespace

void MonteCarloSearch(Engine& engine, MonteCarloState& state) { Search(engine, state).run(); }

}  // namespace tarvolin
