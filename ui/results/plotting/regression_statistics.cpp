#include "ui/results/plotting/regression_statistics.h"

#include <cmath>

#include "base/number_format.h"
#include "ui/results/plotting/sorting.h"

namespace tarvolin::plotting {

Regression regressYexpOnYcalc(std::span<const Real> x, std::span<const Real> y) {
  Regression r;
  const std::size_t count = std::min(x.size(), y.size());
  if (count == 0) return r;
  const Real N = static_cast<Real>(count);
  Real sumX = 0, sumY = 0, sumXY = 0, sumX2 = 0, sumY2 = 0;
  for (std::size_t i = 0; i < count; ++i) {
    sumX += x[i];
    sumY += y[i];
    sumXY += x[i] * y[i];
    sumX2 += x[i] * x[i];
    sumY2 += y[i] * y[i];
  }
  const Real xMean = sumX / N;
  const Real yMean = sumY / N;
  Real Sxy = 0, Sxx = 0;
  for (std::size_t i = 0; i < count; ++i) {
    Sxy += (x[i] - xMean) * (y[i] - yMean);
    Sxx += (x[i] - xMean) * (x[i] - xMean);
  }
  r.xMean = xMean;
  r.Sxx = Sxx;
  r.b = Sxx > 0 ? Sxy / Sxx : 0;
  r.a = yMean - r.b * xMean;

  const Real product = (N * sumX2 - sumX * sumX) * (N * sumY2 - sumY * sumY);
  r.R = product > 0 ? (N * sumXY - sumX * sumY) / std::sqrt(product) : 0;
  r.R2 = r.R * r.R;

  if (count > 2) {
    // Rounding can carry |R| a hair past 1 on a perfect line; that is still no finite F.
    r.F = r.R2 >= 1 ? kPerfectFitF : r.R2 * (N - 2) / (1 - r.R2);
    Real sse = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const Real residual = y[i] - (r.b * x[i] + r.a);
      sse += residual * residual;
    }
    r.s = std::sqrt(sse / (N - 2));
    r.RMSE = r.s * std::sqrt((N - 2) / N);
  }
  if (Sxx > 0) {
    r.sb = r.s * std::sqrt(1 / Sxx);
    r.sa = r.s * std::sqrt(sumX2 / (N * Sxx));
  }
  return r;
}

Agreement agreementOfYcalcWithYexp(std::span<const Real> Ycalc, std::span<const Real> Yexp) {
  Agreement g;
  const std::size_t count = std::min(Ycalc.size(), Yexp.size());
  if (count == 0) return g;
  const Real N = static_cast<Real>(count);
  Real sumAbs = 0, sumSquares = 0, sumCalc = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Real d = Ycalc[i] - Yexp[i];
    sumAbs += std::fabs(d);
    sumSquares += d * d;
    sumCalc += Ycalc[i];
  }
  const Real mean = sumCalc / N;
  Real spread = 0;
  for (std::size_t i = 0; i < count; ++i) spread += (Ycalc[i] - mean) * (Ycalc[i] - mean);
  g.MAE = sumAbs / N;
  g.RMSEabs = std::sqrt(sumSquares / N);
  g.R2abs = spread != 0 ? 1 - sumSquares / spread : 0;
  return g;
}

std::string regressionLine(const Regression& r, int N, char separator) {
  return fmt::windowFormat(
      "Y = %4.3f(%4.3f) + %4.3f(%4.3f)*X;  N = %4d;  R2 = %4.4f;  F = %6.1f;  s = %4.4f;  "
      "RMSE = %12.4e",
      {r.a, r.sa, r.b, r.sb, static_cast<long long>(N), r.R2, r.F, r.s, r.RMSE}, separator);
}

std::string agreementLine(const Agreement& g, char separator) {
  return fmt::windowFormat("R2abs = %4.4f;  MAE = %13.4e;  RMSEabs = %12.4e",
                           {g.R2abs, g.MAE, g.RMSEabs}, separator);
}

SortedLine sortedRegressionLine(std::span<const Real> Ycalc, const Regression& r) {
  SortedLine line;
  for (const std::size_t i : ascendingOrder(Ycalc)) {
    line.Ycalc.push_back(Ycalc[i]);
    line.fitted.push_back(r.b * Ycalc[i] + r.a);
  }
  return line;
}

}  // namespace tarvolin::plotting
