// Calculated values in increment mode, the objective with its R-factors, and the parameter
// vector's order and transformation.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"
#include "tests/engine/engine_harness.h"

namespace tarvolin::test {
namespace {

// Increment mode: the cell before the first addition holds only the metal (its free
// concentration is its total); before the second and later additions it holds the whole
// system as it was after the previous addition. Both changes of basis restart from the totals.
TEST(CalculatedValueTest, IncrementModeSubtractsTheStateBeforeTheAddition) {
  EngineHarness h;
  h.complexOfTwo(4, 1e-3L, 0, 3, 5);
  h.model->InitReactants[1] = 1;
  h.model->InitSpecies[1] = 1;
  h.model->AV[1][1] = 2, h.model->AV[2][1] = 1, h.model->AV[3][1] = -40;
  h.model->Fo[1] = 0.01L;
  for (int p = 1; p <= 3; ++p) {
    h.model->Ct[p][2] = 1e-3L * p;
    h.model->PointFactor[p] = 25 + p;
    h.model->VolBefore[p] = 24 + p;
    h.model->CtBefore[p][1] = p == 1 ? 1.1e-3L : h.model->Ct[p - 1][1];
    h.model->CtBefore[p][2] = p == 1 ? 0 : h.model->Ct[p - 1][2];
  }
  h.startRun(2);
  const Real Y1 = h.engine->CalculatePoint(1, 1);
  EXPECT_EQ(h.model->ActiveReactants, 1);
  EXPECT_EQ(h.model->ActiveSpecies, 1);
  EXPECT_TRUE(ExpectClose(h.model->Ycalc[1], Y1 - 25 * 2 * 1.1e-3L, 1e-15L));

  h.engine->WarmStart = -1;
  h.engine->CalculatePoint(1, 2);
  EXPECT_EQ(h.model->ActiveReactants, 2);
  EXPECT_EQ(h.model->ActiveSpecies, 3);
  EXPECT_EQ(h.engine->WarmStart, -1) << "restarted from the totals, then warm again";

  const Real Y3 = h.engine->CalculatePoint(1, 3);
  const OneToOne before(1e-3L, 2e-3L, 1e4L);
  EXPECT_TRUE(
      ExpectClose(h.model->Ycalc[3], Y3 - 27 * (2 * before.m + before.l - 40 * before.ml), 1e-14L));
}

// Two blocks of two points, Yexp = (1, 2 | 3, 4), with Ycalc = Fo(b) = 0.5 and 4 (no species
// signal): SS(1) = 0.25 + 2.25 = 2.5, SY(1) = 5; SS(2) = 1 + 0 = 1, SY(2) = 25; weights 1 and
// 4. RF(b) ignores the weights; Objective and TotalRF carry them.
TEST(ObjectiveTest, HamiltonFactorsAndWeightedObjective) {
  EngineHarness h;
  h.complexOfTwo(4, 1e-3L, 1e-3L, 4);
  h.block(1, 2, 0, 1);
  h.block(2, 2, 0, 4);
  for (int p = 1; p <= 4; ++p) h.model->Yexp[p] = p;
  h.model->Fo[1] = 0.5L;
  h.model->Fo[2] = 4;
  h.model->TotalRF = 7;
  h.startRun(2);
  const Real objective = h.engine->EvaluateObjective();
  EXPECT_EQ(h.model->PreviousRF, 7);
  EXPECT_TRUE(ExpectClose(h.model->RF[1], 100 * std::sqrt(2.5L / 5), 1e-18L));
  EXPECT_TRUE(ExpectClose(h.model->RF[2], 100 * std::sqrt(1.0L / 25), 1e-18L));
  EXPECT_TRUE(ExpectClose(objective, 2.5L + 4 * 1, 1e-18L));
  EXPECT_EQ(h.model->Objective, objective);
  EXPECT_TRUE(ExpectClose(h.model->TotalRF, 100 * std::sqrt(6.5L / (5 + 4 * 25)), 1e-18L));
}

// The vector's order: AV by block then species, lgBETA, block parameters (a of a method-1
// block, Fo of others), purities. Ties take the tied element's value on unpacking only.
TEST(ParameterVectorTest, PackingOrderTiesAndScale) {
  EngineHarness h;
  Model& m = *h.model;
  h.system(2, 3);
  h.species(3, {1, 1}, 4.5L);
  h.block(1, 1, 1);
  h.block(2, 1, 0);
  m.AV[3][1] = 10, m.FitAV[3][1] = 1;
  m.AV[2][2] = -20, m.FitAV[2][2] = 1;
  m.AV[3][2] = 99, m.FitAV[3][2] = 10;  // tied to element 1
  m.FitBeta[3] = 1;
  m.a[1] = 0.9L, m.Fo[1] = 123, m.FitBlock[1] = 1;
  m.Fo[2] = -7, m.FitBlock[2] = 1;
  m.Purity[2] = 0.97L, m.FitPurity[2] = 1;
  h.engine->ParamScale = 1;
  h.engine->PackParameters();
  ASSERT_EQ(m.NFit, 6);
  const Real expected[7] = {0, 10, -20, 4.5L, 0.9L, -7, 0.97L};
  for (int k = 1; k <= 6; ++k)
    EXPECT_TRUE(ExpectClose(std::sinh(h.engine->x[k]), expected[k], 1e-17L)) << k;
  EXPECT_EQ(m.AV[3][2], 99) << "packing ignores ties";

  h.engine->x[1] = std::asinh(12.0L);
  h.engine->UnpackParameters();
  EXPECT_TRUE(ExpectClose(m.AV[3][1], 12, 1e-17L));
  EXPECT_TRUE(ExpectClose(m.AV[3][2], 12, 1e-17L));
  EXPECT_EQ(m.Fo[1], 123) << "a method-1 block fits its a, not its Fo";

  // The scale multiplies before the transformation and is not divided out on unpacking.
  h.engine->ParamScale = 2;
  h.engine->PackParameters();
  EXPECT_TRUE(ExpectClose(h.engine->x[5], std::asinh(-14.0L), 1e-17L));

  // With scale 1 the round trip returns the values, a large negative one with its digits (the
  // symmetric form of the inverse hyperbolic sine).
  h.engine->ParamScale = 1;
  m.FitAV[3][1] = m.FitAV[2][2] = m.FitBeta[3] = m.FitPurity[2] = m.FitBlock[1] = 0;
  for (Real v : {-1e10L, -48400.0L, -0.5L, 0.0L, 0.75L, 2.5e6L}) {
    m.Fo[2] = v;
    h.engine->PackParameters();
    m.Fo[2] = 0;
    h.engine->UnpackParameters();
    EXPECT_TRUE(ExpectClose(m.Fo[2], v, 1e-17L)) << static_cast<double>(v);
  }
}

}  // namespace
}  // namespace tarvolin::test
