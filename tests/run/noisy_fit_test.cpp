// Fits of noisy data: the reported standard deviations must describe the scatter of the fitted
// values over many noise draws, and a single fit must land within a few of them of the truth.

#include <cmath>
#include <random>

#include "fitting/gradient.h"
#include "fitting/simplex_search.h"
#include "run/report_writer.h"
#include "tests/fitting/fit_harness.h"

namespace tarvolin::test {
namespace {

// Ethylenediamine protonation by EMF (method 8): lgBETA of HL and H2L and the standard
// potential fitted from 36 points; the measured potentials get Gaussian noise of 0.2 mV.
class NoisyTitration {
 public:
  explicit NoisyTitration(int method) : h_("POT_TITRATION.DAT", method) {
    Model& m = *h_.model;
    m.SingleStep = 1;
    GradientState probe;
    GradientIteration(*h_.engine, probe);  // Ycalc at the true constants
    for (int p = 1; p <= m.TotalPoints(); ++p) exact_.push_back(m.Ycalc[p]);
    m.SingleStep = 0;
  }

  // New noise on the exact values, start values moved off the truth.
  void draw(std::mt19937& rng) {
    Model& m = *h_.model;
    std::normal_distribution<double> noise(0.0, 0.2);
    for (int p = 1; p <= m.TotalPoints(); ++p) m.Yexp[p] = exact_[p - 1] + noise(rng);
    m.lgBETA[3] = h_.truth->lgBETA[3] + 0.2L;
    m.lgBETA[4] = h_.truth->lgBETA[4] - 0.2L;
    m.Fo[1] = h_.truth->Fo[1] + 2;
    m.TotalRF = 0;
  }

  FitHarness& harness() { return h_; }

 private:
  FitHarness h_;
  std::vector<Real> exact_;
};

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

// The gradient method's standard deviations (from its last decomposition) against the spread
// of 150 refits. A full Gauss-Newton step (Step 1) keeps each refit to a few iterations.
TEST(NoisyFit, GradientStandardDeviationsMatchTheScatterOfRefits) {
  NoisyTitration data(kGradient);
  FitHarness& h = data.harness();
  Model& m = *h.model;
  m.Step = 1;
  std::mt19937 rng(2026);
  Scatter lgBeta3, lgBeta4, fo;
  for (int draw = 0; draw < 150; ++draw) {
    data.draw(rng);
    GradientState state;
    m.RunIncomplete = 1;
    GradientIteration(*h.engine, state);
    WriteGradientReport(*h.engine, state, h.report, state.n);
    lgBeta3.add(m.lgBETA[3], h.truth->lgBETA[3], h.engine->sd[1]);
    lgBeta4.add(m.lgBETA[4], h.truth->lgBETA[4], h.engine->sd[2]);
    fo.add(m.Fo[1], h.truth->Fo[1], h.engine->sd[3]);
  }
  for (const Scatter* s : {&lgBeta3, &lgBeta4, &fo}) {
    EXPECT_NEAR(s->spread() / s->meanSd(), 1.0, 0.2);
    EXPECT_GE(s->within2, 0.9 * s->n);  // about 95 % of a normal distribution
  }
}

// After a simplex fit the statistics of the parameter report give the standard deviations;
// nearly every one of 10 noisy fits lands within about two of them of the truth.
TEST(NoisyFit, SimplexFitsLandWithinTheirStandardDeviations) {
  NoisyTitration data(kSimplex);
  FitHarness& h = data.harness();
  Model& m = *h.model;
  std::mt19937 rng(7);
  Scatter lgBeta3, lgBeta4;
  for (int draw = 0; draw < 10; ++draw) {
    data.draw(rng);
    h.engine->ParamScale = 1;
    h.engine->PackParameters();
    m.RunIncomplete = 1;
    SimplexSearch(*h.engine);
    h.engine->EvaluateObjective();
    h.engine->ErrorStatistics();
    lgBeta3.add(m.lgBETA[3], h.truth->lgBETA[3], h.engine->sd[1]);
    lgBeta4.add(m.lgBETA[4], h.truth->lgBETA[4], h.engine->sd[2]);
  }
  EXPECT_GE(lgBeta3.within2, 8);
  EXPECT_GE(lgBeta4.within2, 8);
  EXPECT_GT(lgBeta3.meanSd(), 0);
}

}  // namespace
}  // namespace tarvolin::test
