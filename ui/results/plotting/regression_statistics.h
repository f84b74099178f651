#pragma once
// Statistics of the measured-versus-calculated plot: the least-squares line of Yexp on Ycalc
// (how far the model's values are from explaining the measurements up to a linear
// distortion) and the absolute agreement of Ycalc with Yexp (how far they are from the
// diagonal itself).

#include <span>
#include <string>
#include <vector>

#include "base/real.h"

namespace tarvolin::plotting {

// F shown for a perfect linear relation, where R^2 (N - 2) / (1 - R^2) has no finite value.
inline constexpr Real kPerfectFitF = -2.2E22L;

// Yexp = a + b Ycalc fitted by least squares, with N points (N > 2 for a plot):
//   b = Sxy / Sxx, a = mean(y) - b mean(x), s = sqrt(sum (y - yfit)^2 / (N - 2)),
//   sb = s sqrt(1 / Sxx), sa = s sqrt(sum x^2 / (N Sxx)),
//   R = (N sum xy - sum x sum y) / sqrt((N sum x^2 - (sum x)^2)(N sum y^2 - (sum y)^2)),
//   F = R^2 (N - 2) / (1 - R^2), R2 = R^2, RMSE = s sqrt((N - 2) / N).
// xMean and Sxx = sum (x - xMean)^2 also shape the confidence band of the line.
struct Regression {
  Real a = 0;
  Real sa = 0;
  Real b = 0;
  Real sb = 0;
  Real R = 0;
  Real F = 0;
  Real s = 0;
  Real R2 = 0;
  Real RMSE = 0;
  Real xMean = 0;
  Real Sxx = 0;
};

// x = Ycalc, y = Yexp, of equal length. Degenerate data give finite values instead of
// dividing by zero: all Ycalc equal (Sxx = 0) gives b = sb = sa = 0 and a = mean(y); a
// non-positive product under R's root gives R = 0; |R| = 1 (a perfect line, rising or
// falling) gives F = kPerfectFitF; N <= 2 gives s = RMSE = F = 0.
Regression regressYexpOnYcalc(std::span<const Real> Ycalc, std::span<const Real> Yexp);

// Absolute agreement with d = Ycalc - Yexp: MAE = sum |d| / N, RMSEabs = sqrt(sum d^2 / N),
// R2abs = 1 - sum d^2 / sum (Ycalc - mean(Ycalc))^2, or 0 when that sum is 0.
struct Agreement {
  Real MAE = 0;
  Real RMSEabs = 0;
  Real R2abs = 0;
};
Agreement agreementOfYcalcWithYexp(std::span<const Real> Ycalc, std::span<const Real> Yexp);

// The two statistics lines of the plot, in the user's decimal separator:
// "Y = a(sa) + b(sb)*X;  N = ...;  R2 = ...;  F = ...;  s = ...;  RMSE = ..." and
// "R2abs = ...;  MAE = ...;  RMSEabs = ...".
std::string regressionLine(const Regression& r, int N, char separator);
std::string agreementLine(const Agreement& g, char separator);

// The line through the points for drawing: Ycalc in ascending order (equal values keep their
// file order), each with its fitted value b Ycalc + a.
struct SortedLine {
  std::vector<Real> Ycalc;
  std::vector<Real> fitted;
};
SortedLine sortedRegressionLine(std::span<const Real> Ycalc, const Regression& r);

}  // namespace tarvolin::plotting
