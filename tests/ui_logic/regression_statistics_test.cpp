#include "ui/plotting/regression_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/test_support.h"
#include "ui/plotting/sorting.h"

namespace tarvolin::plotting {
namespace {

using test::ExpectClose;

// Four points worked by hand: x = Ycalc = 1 2 3 4, y = Yexp = 2 3 5 6.
// xbar = 2.5, ybar = 4, Sxx = 5, Syy = 10, Sxy = 7; b = 1.4, a = 0.5; fitted 1.9 3.3 4.7 6.1,
// residuals 0.1 -0.3 0.3 -0.1, SSE = 0.2, s = sqrt(0.1); R = 7 / sqrt(50), R^2 = 0.98,
// F = 0.98 * 2 / 0.02 = 98; sb = s / sqrt(5); sa = s sqrt(30 / 20); RMSE = s sqrt(2 / 4).
// Agreement: d = Ycalc - Yexp = -1 -1 -2 -2: MAE = 1.5, RMSEabs = sqrt(2.5), R2abs = 1 - 10/5.
const std::vector<Real> kYcalc = {1, 2, 3, 4};
const std::vector<Real> kYexp = {2, 3, 5, 6};

TEST(Regression, FourPointsAgainstAHandCalculation) {
  const Regression r = regressYexpOnYcalc(kYcalc, kYexp);
  const Real s = std::sqrt(0.1L);
  EXPECT_TRUE(ExpectClose(r.b, 1.4L, 1e-17L));
  EXPECT_TRUE(ExpectClose(r.a, 0.5L, 1e-17L));
  EXPECT_TRUE(ExpectClose(r.s, s, 1e-17L));
  EXPECT_TRUE(ExpectClose(r.sb, s / std::sqrt(5.0L), 1e-17L));
  EXPECT_TRUE(ExpectClose(r.sa, s * std::sqrt(1.5L), 1e-17L));
  EXPECT_TRUE(ExpectClose(r.R, 7 / std::sqrt(50.0L), 1e-17L));
  EXPECT_TRUE(ExpectClose(r.R2, 0.98L, 1e-17L));
  EXPECT_TRUE(ExpectClose(r.F, 98, 1e-15L));
  EXPECT_TRUE(ExpectClose(r.RMSE, std::sqrt(0.05L), 1e-17L));
  EXPECT_EQ(r.xMean, 2.5L);
  EXPECT_EQ(r.Sxx, 5.0L);

  const Agreement g = agreementOfYcalcWithYexp(kYcalc, kYexp);
  EXPECT_EQ(g.MAE, 1.5L);
  EXPECT_TRUE(ExpectClose(g.RMSEabs, std::sqrt(2.5L), 1e-17L));
  EXPECT_EQ(g.R2abs, -1.0L);
}

TEST(Regression, StatisticsLinesInBothSeparators) {
  const Regression r = regressYexpOnYcalc(kYcalc, kYexp);
  const Agreement g = agreementOfYcalcWithYexp(kYcalc, kYexp);
  EXPECT_EQ(regressionLine(r, 4, '.'),
            "Y = 0.500(0.387) + 1.400(0.141)*X;  N =    4;  R2 = 0.9800;  F =   98.0;  "
            "s = 0.3162;  RMSE =   2.236E-001");
  EXPECT_EQ(agreementLine(g, '.'),
            "R2abs = -1.0000;  MAE =    1.500E+000;  RMSEabs =   1.581E+000");
  EXPECT_EQ(regressionLine(r, 4, ','),
            "Y = 0,500(0,387) + 1,400(0,141)*X;  N =    4;  R2 = 0,9800;  F =   98,0;  "
            "s = 0,3162;  RMSE =   2,236E-001");
}

// Yexp = 2 Ycalc + 1 exactly: R is exactly 1 and F has no finite value.
TEST(Regression, PerfectFitReportsTheSentinelF) {
  const std::vector<Real> x = {1, 2, 3};
  const Regression rising = regressYexpOnYcalc(x, std::vector<Real>{3, 5, 7});
  EXPECT_EQ(rising.R, 1.0L);
  EXPECT_EQ(rising.F, kPerfectFitF);
  EXPECT_EQ(rising.s, 0.0L);
  EXPECT_NE(regressionLine(rising, 3, '.').find("F = -2.2E22;"), std::string::npos);

  // A falling perfect line divides by 1 - R^2 = 0 just the same.
  const Regression falling = regressYexpOnYcalc(x, std::vector<Real>{7, 5, 3});
  EXPECT_EQ(falling.R, -1.0L);
  EXPECT_EQ(falling.F, kPerfectFitF);
}

// All Ycalc equal: no slope can be fitted. The load reports the flat range afterwards; the
// statistics must come out finite rather than divide by zero.
TEST(Regression, EqualCalculatedValuesGiveFiniteStatistics) {
  const std::vector<Real> x = {2, 2, 2, 2};
  const std::vector<Real> y = {1, 2, 3, 6};
  const Regression r = regressYexpOnYcalc(x, y);
  EXPECT_EQ(r.b, 0.0L);
  EXPECT_EQ(r.a, 3.0L);
  EXPECT_EQ(r.sa, 0.0L);
  EXPECT_EQ(r.sb, 0.0L);
  EXPECT_EQ(r.R, 0.0L);
  EXPECT_TRUE(std::isfinite(r.F) && std::isfinite(r.s));
  EXPECT_EQ(agreementOfYcalcWithYexp(x, y).R2abs, 0.0L);
}

TEST(Regression, SortedLineCarriesFittedValuesAndKeepsEqualKeysInOrder) {
  EXPECT_EQ(ascendingOrder(std::vector<Real>{2, 1, 2, 1, 0}),
            (std::vector<std::size_t>{4, 1, 3, 0, 2}));
  const Regression r = regressYexpOnYcalc(kYcalc, kYexp);
  const SortedLine line = sortedRegressionLine(std::vector<Real>{3, 1, 4, 2}, r);
  EXPECT_EQ(line.Ycalc, (std::vector<Real>{1, 2, 3, 4}));
  ASSERT_EQ(line.fitted.size(), 4u);
  EXPECT_TRUE(ExpectClose(line.fitted[0], 1.9L, 1e-17L));
  EXPECT_TRUE(ExpectClose(line.fitted[3], 6.1L, 1e-17L));
}

}  // namespace
}  // namespace tarvolin::plotting
