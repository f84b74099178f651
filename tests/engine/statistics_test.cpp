// Error statistics: standard deviations and correlations against ordinary least squares and
// against the spread of refitted values, and the report lines of the statistics section.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/floating_point.h"
#include "engine/engine.h"
#include "tests/engine/engine_harness.h"

namespace tarvolin::test {
namespace {

using Matrix = std::vector<std::vector<long double>>;

// Inverse of a small symmetric positive definite matrix by Gauss-Jordan elimination (its
// pivots are positive, so no row exchanges).
Matrix inverse(Matrix a) {
  const std::size_t n = a.size();
  Matrix inv(n, std::vector<long double>(n, 0));
  for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1;
  for (std::size_t col = 0; col < n; ++col) {
    const long double d = a[col][col];
    for (std::size_t c = 0; c < n; ++c) a[col][c] /= d, inv[col][c] /= d;
    for (std::size_t r = 0; r < n; ++r) {
      if (r == col) continue;
      const long double f = a[r][col];
      for (std::size_t c = 0; c < n; ++c) a[r][c] -= f * a[col][c], inv[r][c] -= f * inv[col][c];
    }
  }
  return inv;
}

// A batch block (method 0) of twelve points of M + L = ML (lg beta 4) with fixed constants:
// Y = Fo + f (AV(M) [M] + AV(ML) [ML]) is linear in the fitted AV(M), AV(ML) and Fo, so the
// statistics are those of ordinary linear regression on the design columns f [M], f [ML], 1.
// The test builds that regression from closed-form concentrations and normal equations.
TEST(ErrorStatisticsTest, LinearProblemGivesOrdinaryRegression) {
  EngineHarness h;
  Model& m = *h.model;
  const int n = 12;
  h.complexOfTwo(4, 1e-3L, 0, n);
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0, 0.02);
  Matrix X(n, std::vector<long double>(3));
  std::vector<long double> y(n);
  for (int p = 1; p <= n; ++p) {
    m.Ct[p][2] = 2.5e-4L * p;
    m.PointFactor[p] = 1000 + 20 * p;
    const OneToOne s(1e-3L, m.Ct[p][2], 1e4L);
    X[p - 1] = {m.PointFactor[p] * s.m, m.PointFactor[p] * s.ml, 1};
    y[p - 1] = 2 * X[p - 1][0] + 7 * X[p - 1][1] + 0.3L + noise(random);
    m.Yexp[p] = y[p - 1];
  }
  Matrix XtX(3, std::vector<long double>(3, 0));
  std::vector<long double> Xty(3, 0);
  for (int p = 0; p < n; ++p)
    for (int j = 0; j < 3; ++j) {
      Xty[j] += X[p][j] * y[p];
      for (int l = 0; l < 3; ++l) XtX[j][l] += X[p][j] * X[p][l];
    }
  const Matrix Q = inverse(XtX);
  std::vector<long double> beta(3, 0);
  for (int j = 0; j < 3; ++j)
    for (int l = 0; l < 3; ++l) beta[j] += Q[j][l] * Xty[l];
  long double SS = 0;
  for (int p = 0; p < n; ++p) {
    const long double r = y[p] - (beta[0] * X[p][0] + beta[1] * X[p][1] + beta[2]);
    SS += r * r;
  }
  const long double s2 = SS / (n - 3);

  m.AV[1][1] = beta[0], m.FitAV[1][1] = 1;
  m.AV[3][1] = beta[1], m.FitAV[3][1] = 1;
  m.Fo[1] = beta[2], m.FitBlock[1] = 1;
  h.startRun(2);
  h.engine->ErrorStatistics();
  ASSERT_EQ(h.engine->NJAC, 3);
  for (int k = 1; k <= 3; ++k)
    EXPECT_TRUE(ExpectClose(h.engine->sd[k], std::sqrt(s2 * Q[k - 1][k - 1]), 1e-9L)) << k;

  const std::string text = h.reportText();
  const std::string heading = "Correlation coefficients between fitted parameters:\r\n";
  const auto rows = splitLines(text.substr(text.find(heading) + heading.size()));
  ASSERT_EQ(rows.size(), 3u);
  for (int j = 0; j < 3; ++j) {
    std::istringstream in(rows[j]);
    for (int l = 0; l <= j; ++l) {
      double r = 0;
      in >> r;
      EXPECT_NEAR(r, static_cast<double>(Q[j][l] / std::sqrt(Q[j][j] * Q[l][l])), 5.1e-4)
          << "row " << j + 1 << " column " << l + 1;
    }
    EXPECT_EQ(rows[j].size(), 7u * (j + 1)) << "each value in 6 characters and a blank";
  }
  EXPECT_NE(text.find(" O'k. The solution vector is an unique: RANK=  3\r\n"), std::string::npos);
}

// The statistics section's lines: singular values in 12 characters with 4 decimals, the rank
// line only when no singular value is at or below wmax Tolerance (with the one-by-one record
// before it when that mode ran), and no standard deviation without more points than
// parameters. With a Tolerance of 0.9 every singular value but the largest counts as small:
// the rank line goes, the standard deviations stay. A fitted additive value of a species that
// never forms (lg beta -6000) has a zero column and a singular value of exactly 0, which is
// left out of the covariance: that parameter gets sd 0 and correlations 0, no rank line, and
// Fo the deviation of a fit of Fo alone (the mean of Yexp) with one degree of freedom less.
TEST(ErrorStatisticsTest, ReportLinesRankAndDegenerateCases) {
  auto prepared = [](EngineHarness& h) {
    Model& m = *h.model;
    h.complexOfTwo(4, 1e-3L, 0, 5);
    for (int p = 1; p <= 5; ++p) {
      m.Ct[p][2] = 4e-4L * p;
      m.PointFactor[p] = 1000;
      m.Yexp[p] = 0.1L * p + 0.01L * (p % 2);
    }
    m.AV[3][1] = 1, m.FitAV[3][1] = 1;
    m.FitBlock[1] = 1;
    h.startRun(2);
  };
  {
    EngineHarness h;
    prepared(h);
    h.model->FitOneByOne = 1;
    h.engine->OneByOneCount = 12;
    h.engine->FittedFunctionText = "1.234E-05";
    h.engine->ErrorStatistics();
    EXPECT_EQ(h.reportText(),
              readFile(sourcePath("tests/data/expected/statistics_after_one_by_one_cycles.txt")));
    EXPECT_EQ(h.engine->Rank, 2);
    EXPECT_GT(h.engine->sd[1], 0);
    EXPECT_GT(h.engine->sd[2], 0);
  }
  {
    EngineHarness h;
    prepared(h);
    h.model->Tolerance = 0.9L;
    h.engine->ErrorStatistics();
    std::string text = h.reportText();
    EXPECT_EQ(text.find("O'k"), std::string::npos);
    EXPECT_NE(text.find("Correlation coefficients between fitted parameters:"), std::string::npos);
    EXPECT_EQ(h.engine->Rank, 1);
    EXPECT_GT(h.engine->sd[1], 0);

    h.model->NPoints[1] = 2;
    h.engine->ErrorStatistics();
    text = h.reportText().substr(text.size());
    EXPECT_EQ(text.find("Correlation"), std::string::npos);
    EXPECT_EQ(text.find("Singular values for fitted parameters:\r\n"), 0u);
    EXPECT_EQ(h.engine->sd[1], 0);
    EXPECT_EQ(h.engine->sd[2], 0);
  }
  {
    EngineHarness h;
    prepared(h);
    h.model->lgBETA[3] = -6000;
    long double SS = 0, mean = 0;
    for (int p = 1; p <= 5; ++p) mean += h.model->Yexp[p] / 5;
    for (int p = 1; p <= 5; ++p) SS += (h.model->Yexp[p] - mean) * (h.model->Yexp[p] - mean);
    h.model->Fo[1] = mean;
    EXPECT_EQ(faultOf([&] { h.engine->ErrorStatistics(); }), FloatingPointFault::None);
    EXPECT_EQ(h.engine->Rank, 1);
    EXPECT_EQ(h.engine->sd[1], 0);
    EXPECT_TRUE(ExpectClose(h.engine->sd[2], std::sqrt(SS / (5 - 2) / 5), 1e-15L));
    const std::string text = h.reportText();
    EXPECT_EQ(text.find("O'k"), std::string::npos);
    EXPECT_NE(text.find("Correlation coefficients between fitted parameters:\r\n"
                        " 0.000 \r\n"
                        " 0.000  1.000 \r\n"),
              std::string::npos)
        << text;
  }
}

// 100 blocks of one point with six fitted additive values each are 600 columns; one fitted
// lg beta more passes the limit, and the statistics end with their message.
TEST(ErrorStatisticsTest, TooManyParametersEndTheStatistics) {
  EngineHarness h;
  Model& m = *h.model;
  h.system(2, 6);
  for (int i = 3; i <= 6; ++i) h.species(i, {i - 2, 1}, 2);
  for (int b = 1; b <= 100; ++b) {
    h.block(b, 1, 0);
    m.Ct[b][1] = m.Ct[b][2] = 1e-3L;
    m.Yexp[b] = 1;
    for (int i = 1; i <= 6; ++i) m.FitAV[i][b] = 1;
  }
  m.FitBeta[4] = 1;
  h.startRun(2);
  h.engine->ErrorStatistics();
  EXPECT_EQ(h.engine->NJAC, 601);
  EXPECT_EQ(h.reportText(), "\r\n" + std::string(63, '!') +
                                "\r\nWithout standard deviations calculations for fitted "
                                "parameters.\r\nToo many fitted parameters.\r\n");
}

// A singular linearised mass balance while differentiating by lg beta: the message block with
// the basis' lg beta values, and a zero entry.
TEST(ErrorStatisticsTest, SingularMassBalanceDerivativeIsReported) {
  EngineHarness h;
  h.singularPair();
  h.model->Yexp[1] = 1;
  h.model->FitBeta[3] = 1;
  h.startRun(2);
  h.engine->ErrorStatistics();
  const std::string text = h.reportText();
  EXPECT_NE(text.find(readFile(sourcePath("tests/data/expected/singular_lgbeta_derivative.txt"))),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace tarvolin::test
