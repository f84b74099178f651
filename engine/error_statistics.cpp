// Standard deviations and correlations of the fitted parameters from the Jacobian J of the
// weighted calculated values at the final parameters (rows: points, columns: parameters):
//   J = U diag(w) V^T,   Q = (J^T J)^-1 = V diag(1/w^2) V^T,
//   s0 = sqrt(SS / (N - NJAC)) with SS the unweighted sum of squared residuals,
//   sd(k) = s0 sqrt(Q(k,k)),   R(j,l) = Q(j,l) / sqrt(Q(j,j) Q(l,l)).
// A singular value that is exactly zero belongs to a parameter without any influence on the
// calculated values (its column is zero, e.g. the lgBETA of a species whose component is absent
// at every point): it carries no information and is left out of Q. That parameter's row of Q is
// then zero; it gets sd 0 and correlations 0.

#include <cmath>
#include <string>

#include "base/floating_point.h"
#include "base/number_format.h"
#include "engine/engine.h"
#include "engine/svd.h"

namespace tarvolin {

void Engine::reserveJacobian(int rows, int columns) { Jacobian.reserve(rows, columns); }

void Engine::ErrorStatistics() {
  Model& m = model;
  LN10 = std::log(10.0L);
  NJAC = JacobianColumnCount();
  Rank = 0;
  for (Real& value : sd) value = 0;
  Correlation.clear();
  const int N = m.TotalPoints();
  const bool tooManyParameters = NJAC > kMaxJacobianColumns;
  const bool tooManyPoints = N > kMaxJacobianRows;

  Real SS = 0;
  if (!tooManyPoints) {
    if (!tooManyParameters) {
      // N rows for the decomposition, and NJAC for the covariance that replaces it.
      reserveJacobian(N > NJAC ? N : NJAC, NJAC);
      V.reserve(NJAC, NJAC);
    }
    int p = 0;
    for (int b = 1; b <= m.NBlocks; ++b) {
      for (int j = 1; j <= m.NPoints[b]; ++j) {
        ++p;
        const Real Y = CalculatePoint(b, p);
        const Real D = m.Yexp[p] - m.Ycalc[p];
        SS += D * D;
        if (!tooManyParameters) JacobianRow(b, p, Y, Jacobian.row(p));
        throwOnFloatingPointFault();
      }
    }
  }

  if (tooManyParameters) {
    report.line("");
    report.line(std::string(63, '!'));
    report.line("Without standard deviations calculations for fitted parameters.");
    report.line("Too many fitted parameters.");
    return;
  }
  if (tooManyPoints) {
    report.line("");
    report.line(std::string(63, '!'));
    report.line("Without standard deviations calculations for fitted parameters.");
    report.line("Too many experimental points.");
    return;
  }
  writeStatistics(SS, N);
}

void Engine::writeStatistics(Real SS, int N) {
  const Model& m = model;
  Real s0 = 0;
  if (NJAC < N) s0 = std::sqrt(SS / (N - NJAC));

  // The number of the failed singular value can pass 255, so the test is made on it and not
  // on its 8-bit copy in IERR.
  const int failedValue = SVD(Jacobian, N, NJAC, Jacobian, w, V);
  IERR = static_cast<std::uint8_t>(failedValue);
  throwOnFloatingPointFault();
  if (failedValue != 0) {
    report.line("");
    report.line(std::string(55, '!'));
    report.line("Standard deviations Calculations for fitted parameters:");
    report.line("Trouble by using subroutine  SVD.");
    report.line("");
  }

  Real wmax = 0;
  for (int k = 1; k <= NJAC; ++k) {
    if (w[k] > wmax) wmax = w[k];
  }
  const Real threshold = wmax * m.Tolerance;
  std::string values;
  int small = 0;
  for (int k = 1; k <= NJAC; ++k) {
    values += fmt::fixed(w[k], 12, 4);
    if (w[k] <= threshold) ++small;
  }
  report.line("Singular values for fitted parameters:");
  report.line(values);
  report.line("");

  Rank = NJAC - small;
  if (NJAC > 0 && small == 0) {
    if (m.FitOneByOne) {
      report.line("Variables are fitted one by one:");
      report.line(fmt::integer(OneByOneCount) + " cycles,");
      report.line("value of fitted Function: " + FittedFunctionText);
    }
    report.line("");
    report.line(" O'k. The solution vector is an unique: RANK= " + fmt::integer(Rank, 2));
    report.line("");
  }

  // Without more points than parameters there is no residual degree of freedom: no standard
  // deviation exists, sd stays 0 and the parameter list prints none.
  if (NJAC >= N) return;

  // Q = V diag(1/w^2) V^T over the non-zero singular values, into the Jacobian's storage (U is
  // no longer needed).
  Real inverseSquare[kMaxJacobianColumns + 1];
  for (int k = 1; k <= NJAC; ++k) inverseSquare[k] = w[k] == 0 ? Real(0) : 1 / (w[k] * w[k]);
  throwOnFloatingPointFault();
  RealMatrix& Q = Jacobian;
  for (int j = 1; j <= NJAC; ++j) {
    for (int l = 1; l <= j; ++l) {
      Real sum = 0;
      for (int k = 1; k <= NJAC; ++k) sum += V(j, k) * V(l, k) * inverseSquare[k];
      Q(j, l) = sum;
      Q(l, j) = sum;
    }
  }
  Real d[kMaxJacobianColumns + 1];
  for (int k = 1; k <= NJAC; ++k) d[k] = std::sqrt(Q(k, k));
  std::string correlations;
  for (int j = 1; j <= NJAC; ++j) {
    for (int l = 1; l <= j; ++l) {
      const Real R = d[j] == 0 || d[l] == 0 ? Real(0) : Q(j, l) / (d[j] * d[l]);
      Correlation.push_back(R);
      correlations += fmt::fixed(R, 6, 3) + " ";
    }
    correlations += "\r\n";
  }
  throwOnFloatingPointFault();
  for (int k = 1; k <= NJAC; ++k) sd[k] = d[k] * s0;
  report.line("");
  report.line("Correlation coefficients between fitted parameters:");
  report.write(correlations);
}

}  // namespace tarvolin
