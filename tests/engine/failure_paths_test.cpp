// The solver's fallbacks and the floating-point failures of the engine, each provoked.

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "base/floating_point.h"
#include "engine/calculation_aborted.h"
#include "engine/engine.h"
#include "tests/engine/engine_harness.h"

namespace tarvolin::test {
namespace {

// One component with a dimer of beta 1 at a total of 3 + 5e-18 mol/l: the free concentration
// is 1 + 1e-18, so ln of it is 1e-18 and the relative convergence test asks for a step below
// 1e-36, which the rounding noise of the residual (units of 1e-19) never gives.
void nonConvergingSystem(EngineHarness& h) {
  h.system(1, 2);
  h.species(2, {2}, 0);
  h.block(1, 1, 0);
  h.model->Ct[1][1] = 3 + 5e-18L;
  h.model->Step = 0.2L;
}

// The notice of either failure is written once per run; the simplex answers each time. The
// basis before an addition names its own procedure.
TEST(FallbackTest, NoticesAreWrittenOncePerRun) {
  const std::string notice =
      readFile(sourcePath("tests/data/expected/mass_balance_not_consistent_notice.txt"));
  EngineHarness h;
  h.singularPair(2);
  h.startRun(2);
  h.model->CurrentPoint = 1;
  h.engine->CALC();
  EXPECT_EQ(h.reportText(), notice);
  EXPECT_EQ(h.engine->MassBalanceNoticeShown, 1);
  // The simplex's answer: the first component near its total.
  EXPECT_TRUE(ExpectClose(h.engine->main.C[1], 1e-3L, 1e-3L));
  h.model->CurrentPoint = 2;
  h.engine->CALC();
  EXPECT_EQ(h.reportText(), notice) << "a second failure writes nothing";

  h.startRun(2);
  h.model->CtBefore[1][1] = h.model->CtBefore[1][2] = 1e-3L;
  h.model->ActiveReactants = 2;
  h.model->ActiveSpecies = 3;
  h.model->CurrentPoint = 1;
  h.engine->CALCI();
  const std::string text = h.reportText();
  EXPECT_EQ(text.substr(notice.size(), 15), "=== CALCI ===\r\n");

  h.startRun(2);
  nonConvergingSystem(h);
  h.engine->CALC();
  const std::string withB = h.reportText();
  EXPECT_EQ(withB, text +
                       "=== CALC ===\r\n"
                       "Convergence is not reached for point    1 and max cycle number   999\r\n"
                       "Mass balance is calculated by simplex method...\r\n");
  EXPECT_TRUE(ExpectClose(h.engine->main.C[1], 1, 1e-3L));
  h.singularPair(2);
  h.engine->CALC();
  EXPECT_EQ(h.reportText(), withB) << "one notice silences the other";
}

// The fallback solves the reduced system: with a third component absent, the notice lists
// its species at exactly 0, and the simplex over the two present components leaves them there.
TEST(FallbackTest, FallbackSolvesTheSystemOfThePresentComponents) {
  EngineHarness h;
  h.system(3, 5);
  h.species(2, {0, 1, 0}, -6000);
  h.species(4, {1, 1, 0}, -6000);
  h.species(5, {1, 0, 1}, 4);
  h.block(1, 1, 0);
  h.model->Ct[1][1] = h.model->Ct[1][2] = 1e-3L;
  h.model->Step = 0.2L;
  h.startRun(2);
  h.model->CurrentPoint = 1;
  h.engine->CALC();
  EXPECT_NE(h.reportText().find("Mass balance equations are not consistent for point    1"),
            std::string::npos);
  EXPECT_NE(h.reportText().find("lgBETA( 5) =  4.000000E+0000  C( 5) =  0.000000E+0000\r\n"),
            std::string::npos);
  EXPECT_EQ(h.engine->main.C[3], 0);
  EXPECT_EQ(h.engine->main.C[5], 0);
  EXPECT_TRUE(ExpectClose(h.engine->main.C[1], 1e-3L, 1e-3L));
}

// Faults met while solving, each with the fault it must end in, no message box and no report
// line: a negative total that makes the start value from the totals the logarithm of a
// negative number (an invalid operation), a fault raised before the solver (not blamed on the
// simplex), and a formation constant beyond the range of the arithmetic (the overflow in the
// first Newton cycle, not the invalid operations its infinity would cause next).
TEST(FallbackTest, FaultsWhileSolving) {
  struct Case {
    Real lgBeta, Lt;
    bool raiseFirst;
    FloatingPointFault fault;
  };
  for (const Case& c : {Case{4, -2e-3L, false, FloatingPointFault::Invalid},
                        Case{4, 1e-3L, true, FloatingPointFault::DivideByZero},
                        Case{5000, 1e-3L, false, FloatingPointFault::Overflow}}) {
    EngineHarness h;
    h.complexOfTwo(c.lgBeta, 1e-3L, c.Lt);
    h.startRun(c.raiseFirst ? 1 : 2);
    if (c.raiseFirst) std::feraiseexcept(FE_DIVBYZERO);
    EXPECT_EQ(faultOf([&] { h.engine->CALC(); }), c.fault);
    EXPECT_EQ(h.reportText(), "");
    EXPECT_TRUE(h.platform.messages.empty());
  }
}

// The first evaluation of the simplex is guarded: an impossible lg beta overflows, an
// infinite total gives an invalid operation; each shows its box and the hint, then the
// calculation is abandoned.
TEST(GuardedEvaluationTest, OverflowAndInvalidShowBoxesAndAbort) {
  const Real inf = std::numeric_limits<Real>::infinity();
  for (const auto& [lgBeta, total, text] :
       {std::tuple{5000.0L, 1e-3L, "Owerflow at the conc. calculations"},
        std::tuple{4.0L, inf, "Invalid floating point operation at the conc. calculations."}}) {
    EngineHarness h;
    h.complexOfTwo(lgBeta, total, 1e-3L);
    h.startRun(1);
    EXPECT_THROW(h.engine->CALC(), CalculationAborted);
    ASSERT_EQ(h.platform.messages.size(), 2u);
    EXPECT_EQ(h.platform.messages[0].text, text);
    EXPECT_EQ(h.platform.messages[1].text,
              "Try another initial lgBETA values or fitting algorithm please.");
    for (const ShownMessage& message : h.platform.messages) {
      EXPECT_EQ(message.kind, MessageKind::Error);
      EXPECT_EQ(message.caption, "Error");
    }
  }
}

// Faults in the objective surface as FloatingPointError instead of NaN or Inf in the model:
// the logarithm of a non-positive method-1 value, an overflowing sinh on unpacking, a block
// whose measured values are all zero (its R-factor is 0/0); a sound block raises nothing.
TEST(ObjectiveFaultTest, FaultsSurfaceAsFloatingPointErrors) {
  for (int variant = 0; variant < 4; ++variant) {
    EngineHarness h;
    Model& m = *h.model;
    h.complexOfTwo(4, 1e-3L, 1e-3L, 2, variant == 0 ? 1 : 0);
    m.Yexp[1] = m.Yexp[2] = variant == 2 ? 0 : 1;
    m.AV[2][1] = variant == 1 || variant == 3 ? 1 : 0;
    m.Fo[1] = variant == 0 ? -1 : 0;
    h.startRun(2);
    if (variant == 1) m.FitAV[2][1] = 1, h.engine->x[1] = 20000;
    const FloatingPointFault expected[4] = {FloatingPointFault::Invalid,
                                            FloatingPointFault::Overflow,
                                            FloatingPointFault::Invalid, FloatingPointFault::None};
    EXPECT_EQ(faultOf([&] { h.engine->EvaluateObjective(); }), expected[variant]) << variant;
  }
}

// Four components with high-order complexes (lg beta up to 13): the gradient method's short
// simplex stops below the free concentrations, and the first full Newton steps would overshoot
// by orders of magnitude into an overflow. Shortened to ten ln units, they reach the same
// solution as the start from the totals of the other methods.
TEST(ObjectiveFaultTest, LongNewtonStepsAreShortenedInsteadOfOverflowing) {
  EngineHarness h;
  h.system(4, 9);
  h.species(5, {1, 3, 2, 3}, 0.0499912L);
  h.species(6, {1, 3, 0, 0}, 4.34529L);
  h.species(7, {0, 1, 1, 2}, 12.9686L);
  h.species(8, {2, 3, 1, 1}, 6.39277L);
  h.species(9, {0, 1, 3, 0}, 6.55062L);
  h.block(1, 1, 0);
  const Real totals[5] = {0, 0.00551933L, 0.000235296L, 0.000195928L, 0.00656725L};
  for (int k = 1; k <= 4; ++k) h.model->Ct[1][k] = totals[k];
  h.model->Step = 0.2L;
  h.startRun(1);
  h.model->CurrentPoint = 1;
  h.engine->CALC();
  EXPECT_TRUE(ExpectClose(h.engine->main.LnFree[1], -5.1995L, 1e-4L));
  const Real gradientStart = h.engine->main.LnFree[1];
  EXPECT_TRUE(h.reportText().empty());

  clearFloatingPointFlags();
  h.startRun(2);
  h.engine->CALC();
  EXPECT_TRUE(ExpectClose(h.engine->main.LnFree[1], gradientStart, 1e-15L));
}

}  // namespace
}  // namespace tarvolin::test
