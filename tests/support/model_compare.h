#pragma once
// Field-by-field comparison of two models over their counts: every value a reader takes from
// a file. Purities and their keys are left to the caller, since the fitted copy drops the
// keys.

#include <gtest/gtest.h>

#include <string>

#include "model/model.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {

// Reals compare exactly when `relative` is 0, else to that relative difference.
inline void expectSameModel(const Model& a, const Model& b, long double relative) {
  auto same = [relative](long double x, long double y) {
    return relative == 0 ? x == y : static_cast<bool>(ExpectClose(y, x, relative));
  };
#define EXPECT_SAME(field) \
  { EXPECT_TRUE(same(a.field, b.field)) << #field; }
  ASSERT_EQ(a.NReactants, b.NReactants);
  ASSERT_EQ(a.NSpecies, b.NSpecies);
  ASSERT_EQ(a.NBlocks, b.NBlocks);
  ASSERT_EQ(a.NInputReagents, b.NInputReagents);
  EXPECT_EQ(a.NCalcModels, b.NCalcModels);
  EXPECT_EQ(a.HeaderInt2, b.HeaderInt2);
  EXPECT_EQ(a.Title, b.Title);
  for (int s = 1; s <= a.NSpecies; ++s) {
    for (int r = 1; r <= a.NReactants; ++r) EXPECT_EQ(a.Stoich[s][r], b.Stoich[s][r]);
    EXPECT_SAME(lgBETA[s]);
    EXPECT_EQ(a.FitBeta[s], b.FitBeta[s]);
    for (int k = 1; k <= a.NBlocks; ++k) {
      EXPECT_SAME(AV[s][k]);
      EXPECT_EQ(a.FitAV[s][k], b.FitAV[s][k]);
    }
  }
  for (int i = 1; i <= a.NInputReagents; ++i) EXPECT_EQ(a.ReagentSpecies[i], b.ReagentSpecies[i]);
  for (int r = 1; r <= a.NReactants; ++r) {
    EXPECT_EQ(a.ReactantPrintFlag[r], b.ReactantPrintFlag[r]);
    EXPECT_EQ(a.ReactantName[r], b.ReactantName[r]);
  }
  for (int k = 1; k <= a.NBlocks; ++k) {
    SCOPED_TRACE("block " + std::to_string(k));
    EXPECT_EQ(a.NPoints[k], b.NPoints[k]);
    EXPECT_EQ(a.Method[k], b.Method[k]);
    EXPECT_SAME(Fo[k]);
    EXPECT_SAME(BlockFactor[k]);
    EXPECT_SAME(BlockWeight[k]);
    EXPECT_EQ(a.FitBlock[k], b.FitBlock[k]);
    EXPECT_EQ(a.IncrementMode[k], b.IncrementMode[k]);
    if (a.Method[k] == 1) EXPECT_SAME(a[k]);
    if (a.Method[k] == 5 || a.Method[k] == 6) {
      EXPECT_EQ(a.InitReactants[k], b.InitReactants[k]);
      EXPECT_EQ(a.InitSpecies[k], b.InitSpecies[k]);
    }
    if (isTitrationMethod(a.Method[k])) {
      EXPECT_SAME(V0[k]);
      for (int i = 1; i <= a.NInputReagents; ++i) {
        EXPECT_SAME(C0[k][i]);
        EXPECT_SAME(CTitrant[k][i]);
      }
    }
    for (int p = a.First(k); p <= a.Last(k); ++p) {
      EXPECT_SAME(Yexp[p]);
      EXPECT_SAME(YexpRead[p]);
      EXPECT_SAME(PointFactor[p]);
      if (isTitrationMethod(a.Method[k])) EXPECT_SAME(VAdded[p]);
      for (int i = 1; i <= a.NInputReagents; ++i) {
        EXPECT_SAME(Ct[p][i]);
        if (a.IncrementMode[k]) EXPECT_SAME(CtBefore[p][i]);
      }
      if (a.IncrementMode[k]) EXPECT_SAME(VolBefore[p]);
    }
  }
  EXPECT_SAME(Step);
  EXPECT_SAME(Tolerance);
#undef EXPECT_SAME
}

}  // namespace tarvolin::test
