#include "fitting/gradient.h"

#include "fitting/one_by_one.h"
#include "tests/fitting/fit_harness.h"

namespace tarvolin::test {
namespace {

void fit(FitHarness& h, GradientState& state) {
  for (int j = 1; j <= h.model->NInputReagents; ++j) h.model->FitPurity[j] = 0;
  h.model->RunIncomplete = 1;
  GradientIteration(*h.engine, state);
}

// The parameters flagged for fitting in a system of one block.
int flaggedCount(const Model& m) {
  int n = m.FitBlock[1] == 1;
  for (int s = 1; s <= m.NSpecies; ++s) n += (m.FitBeta[s] == 1) + (m.FitAV[s][1] == 1);
  return n;
}

// Noiseless data made from known constants: from start values 0.3 log units (and 5 %) away
// the Gauss-Newton iteration must return to the constants the data were made from.
TEST(GradientFit, NoiselessExamplesFitBackToTheirConstants) {
  for (const char* example :
       {"POT_TITRATION.DAT", "NMR_BATCH.DAT", "TWO_BLOCKS.DAT", "METHOD1_PH.DAT", "CALORIMETRY.DAT",
        "METHOD2_UVVIS.DAT", "METHOD7.DAT", "METHOD0_BATCH.DAT", "METHOD6.DAT"}) {
    SCOPED_TRACE(example);
    FitHarness h(example, kGradient);
    h.perturb(0.3L, 0.05L);
    GradientState state;
    fit(h, state);
    // The files carry 7-8 significant digits: the constants come back to that precision.
    EXPECT_LT(h.largestDeviation(), 1e-6L);
    EXPECT_LT(h.largestDeviation(false), 1e-4L);
    EXPECT_LT(h.model->TotalRF, 1e-4L);
    EXPECT_GT(state.iteration, 1);
    EXPECT_EQ(h.model->NFit, state.n);
    EXPECT_EQ(h.model->RunIncomplete, 1);  // cleared by the report, not by the method
  }
}

// Stops before any correction: with nothing to fit (one evaluation, and the run is complete);
// with a zero step (nothing moves, so the R-factor of the second iteration equals the first);
// with an R-factor on entry within 1 % of the first iteration's.
TEST(GradientFit, EarlyStopsLeaveTheParametersAlone) {
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    FitHarness h("POT_TITRATION.DAT", kGradient);
    Model& m = *h.model;
    h.perturb(0.2L, 0.01L);
    if (variant == 0) {  // nothing to fit
      for (int s = 1; s <= m.NSpecies; ++s) m.FitBeta[s] = 0;
      m.FitBlock[1] = 0;
    } else if (variant == 1) {  // a zero step
      m.Step = 0;
    } else {  // within 1 % on entry
      GradientState probe;
      m.SingleStep = 1;
      fit(h, probe);
      m.SingleStep = 0;
      m.TotalRF *= 1.005L;
    }
    const Model before = m;
    GradientState state;
    fit(h, state);
    EXPECT_LE(state.iteration, variant == 1 ? 2 : 1);
    EXPECT_EQ(m.RunIncomplete, m.NFit == 0 ? 0 : 1);
    EXPECT_EQ(m.lgBETA[3], before.lgBETA[3]);
    EXPECT_EQ(m.lgBETA[4], before.lgBETA[4]);
    EXPECT_EQ(m.Fo[1], before.Fo[1]);
  }
}

// A species that never forms (lgBETA far below the others) gives its additive value a zero
// column: it keeps scale 1, gets no correction, and iteration 1 reports it with the projector.
TEST(GradientFit, ParameterWithoutInfluenceIsReportedAndLeftAlone) {
  FitHarness h("POT_TITRATION.DAT", kGradient);
  Model& m = *h.model;
  // HL2, a species that cannot form, with a flagged additive value.
  m.NSpecies = 6;
  m.growTables();
  m.Stoich[6][1] = 1;
  m.Stoich[6][2] = 2;
  m.lgBETA[6] = -5000;
  m.FitBeta[6] = 0;
  m.AV[6][1] = 3.5;
  m.FitAV[6][1] = 1;
  h.perturb(0.2L, 0.0L);
  GradientState state;
  fit(h, state);
  EXPECT_EQ(m.AV[6][1], 3.5L);
  EXPECT_EQ(state.D[1], 1.0L);
  EXPECT_EQ(state.rank[1], state.n - 1);
  const std::string report = h.reportText();
  EXPECT_NE(report.find("\r\nThe fitted parameter is equal to ZERO.\r\nParameter number is   1\r\n"
                        "According column of matrix for singular decomposition:\r\n"),
            std::string::npos);
  const std::string rule(80, '-');
  const auto projector = report.find(rule + "\r\nProjector matrix:\r\n");
  ASSERT_NE(projector, std::string::npos);
  // The lower triangle of the 4 x 4 projector, then the closing rule; written once.
  const auto end = report.find(rule, projector + rule.size());
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(std::count(report.begin() + projector, report.begin() + end, '\n'), 2 + 4);
  EXPECT_EQ(report.find("Projector matrix:", end), std::string::npos);
  EXPECT_LT(std::fabs(m.lgBETA[3] - h.truth->lgBETA[3]), 1e-6L);
}

// The one-by-one mode cycles the parameters of the three groups one at a time, each cycle one
// run per parameter (that the keys come back as they were is the drivers' test).
TEST(GradientFit, OneByOneCyclesThroughTheParameters) {
  FitHarness h("NMR_BATCH.DAT", kGradient);
  Model& m = *h.model;
  h.perturb(0.2L, 0.02L);
  const int flagged = flaggedCount(m);
  ASSERT_GE(flagged, 2);
  GradientState probe;
  m.SingleStep = 1;
  GradientIteration(*h.engine, probe);
  m.SingleStep = 0;
  const Real startRF = m.TotalRF;
  m.FitOneByOne = 1;
  m.DeltaRF = 1e-6f;
  GradientState state;
  int ordinaryRuns = 0;
  int singleRuns = 0;
  const int cycled = FitOneByOne(
      *h.engine, [&] { ++ordinaryRuns; },
      [&] {
        EXPECT_EQ(flaggedCount(m), 1);
        ++singleRuns;
        GradientIteration(*h.engine, state);
      });
  EXPECT_EQ(cycled, flagged);
  EXPECT_EQ(ordinaryRuns, 0);
  EXPECT_EQ(singleRuns % flagged, 0);
  EXPECT_EQ(h.engine->OneByOneCount, singleRuns);
  // Refining one parameter at a time still lowers the R-factor a long way.
  EXPECT_LT(m.TotalRF, 0.1L * startRF);
}

TEST(GradientFit, OneByOneWithOneParameterMakesTheOrdinaryRun) {
  FitHarness h("POT_TITRATION.DAT", kGradient);
  Model& m = *h.model;
  m.FitBeta[4] = 0;
  m.FitBlock[1] = 0;
  int ordinaryRuns = 0;
  EXPECT_EQ(FitOneByOne(
                *h.engine, [&] { ++ordinaryRuns; }, [] { FAIL(); }),
            1);
  EXPECT_EQ(ordinaryRuns, 1);
  EXPECT_EQ(m.FitBeta[3], 1);
}

// Cancel is seen between the cycles: the cycles stop after the one in which it arrived.
TEST(GradientFit, OneByOneStopsOnCancel) {
  FitHarness h("NMR_BATCH.DAT", kGradient);
  h.perturb(0.3L, 0.05L);
  GradientState state;
  int singleRuns = 0;
  FitOneByOne(
      *h.engine, [] {},
      [&] {
        if (++singleRuns == 2) h.platform.cancel = true;
        GradientIteration(*h.engine, state);
      });
  EXPECT_EQ(singleRuns, flaggedCount(*h.model));
  EXPECT_EQ(h.model->CancelRequested, 1);
}

}  // namespace
}  // namespace tarvolin::test
