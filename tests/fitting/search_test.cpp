// The two derivative-free searches: Nelder-Mead (SimplexSearch) and the random search in
// shrinking boxes (MonteCarloSearch), on the example systems.

#include <cmath>

#include "engine/parameter_transform.h"
#include "fitting/monte_carlo.h"
#include "fitting/one_by_one.h"
#include "fitting/simplex_search.h"
#include "tests/fitting/fit_harness.h"

namespace tarvolin::test {
namespace {

void pack(FitHarness& h) {
  h.engine->ParamScale = 1;
  h.engine->PackParameters();
}

// Noiseless data from known constants, start values 0.3 log units and 5 % away: the simplex's
// centroid returns to the constants.
TEST(SimplexSearchTest, NoiselessExamplesFitBack) {
  for (const char* example :
       {"POT_TITRATION.DAT", "NMR_BATCH.DAT", "METHOD1_PH.DAT", "CALORIMETRY.DAT"}) {
    SCOPED_TRACE(example);
    FitHarness h(example, kSimplex);
    h.perturb(0.3L, 0.05L);
    pack(h);
    h.model->RunIncomplete = 1;
    SimplexSearch(*h.engine);
    h.engine->EvaluateObjective();
    EXPECT_LT(h.largestDeviation(), 1e-4L);
    EXPECT_EQ(h.model->RunIncomplete, 0);
  }
}

// One fitted parameter: the starting simplex is the segment from the start value to the start
// value less Step (in the transformed scale), and the summary reports the search.
TEST(SimplexSearchTest, OneParameterStartsFromASegment) {
  FitHarness h("POT_TITRATION.DAT", kSimplex);
  Model& m = *h.model;
  m.FitBeta[4] = 0;
  m.FitBlock[1] = 0;
  pack(h);
  ASSERT_EQ(m.NFit, 1);
  const Real start = h.engine->x[1];
  // Cancel before the first iteration: x is left at the last start vertex evaluated.
  h.platform.cancel = true;
  SimplexSearch(*h.engine);
  EXPECT_TRUE(ExpectClose(h.engine->x[1], start - m.Step, 1e-18L));
  EXPECT_EQ(h.engine->ObjectiveEvaluations, 3);  // start, then vertices 1 and 2
  const std::string report = h.reportText();
  EXPECT_NE(report.find("Initial values of fitted X(i), i=1,..., 1:\r\n"), std::string::npos);
  EXPECT_NE(report.find("After iteration    1:\r\n  Fitted to ZERO Function = "),
            std::string::npos);
  EXPECT_EQ(m.RunIncomplete, 0);
}

// Cancel during the iterations, asked for at the start of each: at the fifth the summary is
// written and x holds the centroid of the iteration before.
TEST(SimplexSearchTest, CancelStopsAtTheStartOfAnIteration) {
  FitHarness h("POT_TITRATION.DAT", kSimplex);
  h.perturb(0.3L, 0.02L);
  pack(h);
  h.platform.cancelCalls = 0;
  h.platform.cancelFromCall = 5;
  SimplexSearch(*h.engine);
  EXPECT_EQ(h.platform.cancelCalls, 5);
  EXPECT_EQ(h.model->CancelRequested, 1);
  const std::string report = h.reportText();
  EXPECT_NE(report.find("After iteration    5:"), std::string::npos);
  EXPECT_NE(report.find("  Optimized variables\r\nX( 1)="), std::string::npos);
}

// A search spends exactly 3 + 2 * 10 * 200 evaluations: the start, the two interval ends and
// the trials.
TEST(MonteCarloSearchTest, OneSearchMakes4003Evaluations) {
  FitHarness h("POT_TITRATION.DAT", kMonteCarlo);
  h.model->SeedGiven = 1;
  pack(h);
  MonteCarloState state;
  state.Seed = 12345;
  h.model->RunIncomplete = 1;
  MonteCarloSearch(*h.engine, state);
  EXPECT_EQ(h.engine->ObjectiveEvaluations, 4003);
  EXPECT_EQ(state.TrialCount, 4000);
  EXPECT_EQ(h.model->RunIncomplete, 0);
  EXPECT_NE(h.reportText().find("Parameters:  NX= 3  SIZE= +-     0.12   MI=   200   LI=  10   "
                                "NI=   2\r\nRandom seed: 12345\r\n"),
            std::string::npos);
}

// A start value of zero has an interval of width zero: it never moves (with Step = 0 every
// interval is empty: see the run of six searches). A negative one gets its ends ordered.
TEST(MonteCarloSearchTest, ZeroAndNegativeStartValues) {
  FitHarness h("POT_TITRATION.DAT", kMonteCarlo);
  h.model->SeedGiven = 1;
  h.model->lgBETA[4] = 0;
  h.model->Fo[1] = -400;
  pack(h);
  MonteCarloState state;
  MonteCarloSearch(*h.engine, state);
  h.engine->UnpackParameters();
  EXPECT_EQ(h.model->lgBETA[4], 0.0L);
  EXPECT_GE(h.model->Fo[1], -400 * 1.12L);
  EXPECT_LE(h.model->Fo[1], -400 * 0.88L);
}

// Cancel is seen after every trial: the summary is written, x holds the best vector found and
// the boundary flag is clear.
TEST(MonteCarloSearchTest, CancelAfterATrial) {
  FitHarness h("POT_TITRATION.DAT", kMonteCarlo);
  h.model->SeedGiven = 1;
  pack(h);
  h.platform.cancelCalls = 0;
  h.platform.cancelFromCall = 10;
  MonteCarloState state;
  state.BoundaryFlag = 1;
  MonteCarloSearch(*h.engine, state);
  EXPECT_EQ(state.TrialCount, 9);
  EXPECT_EQ(state.BoundaryFlag, 0);
  EXPECT_EQ(h.engine->ObjectiveEvaluations, 3 + 10);
  EXPECT_NE(h.reportText().find("After Iteration     9:"), std::string::npos);
}

TEST(LinearCongruentialGenerator, KnownSequence) {
  std::uint32_t seed = 0;
  EXPECT_EQ(nextUniform(seed), 1.0L / 4294967296.0L);
  EXPECT_EQ(seed, 1u);
  nextUniform(seed);
  EXPECT_EQ(seed, 134775814u);
  seed = 0xFFFFFFFFu;
  const Real u = nextUniform(seed);
  EXPECT_EQ(seed, static_cast<std::uint32_t>(0xFFFFFFFFull * 134775813ull + 1ull));
  EXPECT_GE(u, 0);
  EXPECT_LT(u, 1);
}

}  // namespace
}  // namespace tarvolin::test
