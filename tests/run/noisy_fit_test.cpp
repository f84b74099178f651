// Fits of noisy data: the gradient method's standard deviations must describe the scatter of
// the fitted values over many noise draws, and a fit must land within a few of them of the
// truth.

#include <cmath>
#include <random>

#include "fitting/gradient.h"
#include "run/report_writer.h"
#include "tests/fitting/fit_harness.h"

namespace tarvolin::test {
namespace {

struct Scatter {
  Real sum = 0, sumSquares = 0, sdSum = 0;
  int within2 = 0, n = 0;
  void add(Real value, Real truth, Real sd) {
    sum += value;
    sumSquares += value * value;
    sdSum += sd;
    within2 += std::fabs(value - truth) <= 2 * sd;
    ++n;
  }
  Real spread() const { return std::sqrt((sumSquares - sum * sum / n) / (n - 1)); }
  Real meanSd() const { return sdSum / n; }
};

// Ethylenediamine protonation by EMF (method 8): lgBETA of HL and H2L and the standard
// potential fitted from 36 points whose potentials get Gaussian noise of 0.2 mV, from start
// values off the truth. The standard deviations (from the last decomposition) against the
// spread of 150 refits; a full Gauss-Newton step (Step 1) keeps each refit to a few iterations.
TEST(NoisyFit, GradientStandardDeviationsMatchTheScatterOfRefits) {
  FitHarness h("POT_TITRATION.DAT", kGradient);
  Model& m = *h.model;
  const Model& truth = *h.truth;
  m.SingleStep = 1;
  GradientState probe;
  GradientIteration(*h.engine, probe);  // Ycalc at the true constants
  std::vector<Real> exact;
  for (int p = 1; p <= m.TotalPoints(); ++p) exact.push_back(m.Ycalc[p]);
  m.SingleStep = 0;
  m.Step = 1;
  std::mt19937 rng(2026);
  std::normal_distribution<double> noise(0.0, 0.2);
  Scatter lgBeta3, lgBeta4, fo;
  for (int draw = 0; draw < 150; ++draw) {
    for (int p = 1; p <= m.TotalPoints(); ++p) m.Yexp[p] = exact[p - 1] + noise(rng);
    m.lgBETA[3] = truth.lgBETA[3] + 0.2L;
    m.lgBETA[4] = truth.lgBETA[4] - 0.2L;
    m.Fo[1] = truth.Fo[1] + 2;
    m.TotalRF = 0;
    GradientState state;
    m.RunIncomplete = 1;
    GradientIteration(*h.engine, state);
    WriteGradientReport(*h.engine, state, h.report, state.n);
    lgBeta3.add(m.lgBETA[3], truth.lgBETA[3], h.engine->sd[1]);
    lgBeta4.add(m.lgBETA[4], truth.lgBETA[4], h.engine->sd[2]);
    fo.add(m.Fo[1], truth.Fo[1], h.engine->sd[3]);
  }
  for (const Scatter* s : {&lgBeta3, &lgBeta4, &fo}) {
    EXPECT_NEAR(s->spread() / s->meanSd(), 1.0, 0.2);
    EXPECT_GE(s->within2, 0.9 * s->n);  // about 95 % of a normal distribution
  }
}

}  // namespace
}  // namespace tarvolin::test
