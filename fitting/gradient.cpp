#include "fitting/gradient.h"

#include <cmath>
#include <string>

#include "base/floating_point.h"
#include "base/number_format.h"
#include "engine/svd.h"
#include "fitting/progress.h"

namespace tarvolin {

namespace {

constexpr Real kSmallColumn = 1e-14L;    // columns below this norm are left unscaled
constexpr Real kRankFraction = 1e-14L;   // singular values below this fraction count as zero
constexpr Real kConvergedChange = 0.01L;  // R-factor change that ends the iteration

// One pass over every point: Ycalc, the weighted residual in column n+1 and the Jacobian row,
// with the R-factors. Returns the number of columns n.
int buildJacobian(Engine& engine, GradientState& state) {
  Model& m = engine.model;
  RealMatrix& J = engine.Jacobian;
  m.PreviousRF = m.TotalRF;
  m.TotalRF = 0;
  Real S = 0;
  Real denominator = 0;
  int p = 0;
  int n = 0;
  for (int s = 1; s <= m.NBlocks; ++s) {
    Real Q = 0;
    Real Y = 0;
    const Real g = std::sqrt(m.BlockWeight[s]);
    for (int k = 1; k <= m.NPoints[s]; ++k) {
      ++p;
      const Real value = engine.CalculatePoint(s, p);
      const Real r = m.Yexp[p] - m.Ycalc[p];
      Q += r * r;
      Y += m.Yexp[p] * m.Yexp[p];
      n = engine.JacobianRow(s, p, value, J.row(p));
      if (n > 0) J(p, n + 1) = r * g;
      throwOnFloatingPointFault();
    }
    S += m.BlockWeight[s] * Q;
    denominator += m.BlockWeight[s] * Y;
    m.RF[s] = 100 * std::sqrt(Q / Y);
  }
  m.TotalRF = 100 * std::sqrt(S / denominator);
  throwOnFloatingPointFault();
  m.NFit = static_cast<std::uint8_t>(n);
  m.Objective = S;
  state.S = S;
  state.n = n;
  state.m = p;
  return n;
}

// D(j) = |column j|; the columns are divided by D(j) / Dmin, Dmin the smallest norm of at
// least 1e-14, so that all scaled columns have the norm of the smallest one. Columns below
// 1e-14 keep scale 1.
//
// A column below 1e-14 of the largest one carries rounding noise only. Scaled like the others
// it would take the norm of the real columns (or, as the smallest, set Dmin and shrink them to
// its own), its singular value would pass the rank test and its parameter would receive a
// huge correction. Such a column is set to zero: its singular value is 0, and the parameter is
// reported as undetermined and left where it is.
void scaleColumns(Engine& engine, GradientState& state, int n) {
  RealMatrix& J = engine.Jacobian;
  Real* D = state.D;
  Real Dmax = 0;
  for (int j = 1; j <= n; ++j) {
    Real sum = 0;
    for (int p = 1; p <= state.m; ++p) sum += J(p, j) * J(p, j);
    D[j] = std::sqrt(sum);
    if (D[j] > Dmax) Dmax = D[j];
  }
  Real Dmin = 1e300L;
  for (int j = 1; j <= n; ++j) {
    state.undetermined[j] = D[j] < kRankFraction * Dmax;
    if (state.undetermined[j]) {
      for (int p = 1; p <= state.m; ++p) J(p, j) = 0;
      D[j] = 0;
    }
    if (D[j] >= kSmallColumn && D[j] < Dmin) Dmin = D[j];
  }
  for (int j = 1; j <= n; ++j) {
    if (D[j] < kSmallColumn) D[j] = Dmin;
    D[j] = D[j] / Dmin;
    for (int p = 1; p <= state.m; ++p) J(p, j) = J(p, j) / D[j];
  }
}

// The model values the columns stand for, in column order; a tied additive value (key 10 or
// more) follows the column key / 10 without a column of its own.
template <class Visit>
void walkCorrectedValues(Model& m, Visit visit) {
  int c = 0;
  for (int b = 1; b <= m.NBlocks; ++b) {
    for (int s = 1; s <= m.NSpecies; ++s) {
      const int key = m.FitAV[s][b];
      if (key == 1) visit(m.AV[s][b], ++c);
      else if (key != 0) visit(m.AV[s][b], key / 10);
    }
  }
  for (int s = 1; s <= m.NSpecies; ++s)
    if (m.FitBeta[s] == 1) visit(m.lgBETA[s], ++c);
  for (int b = 1; b <= m.NBlocks; ++b)
    if (m.FitBlock[b] == 1) visit(m.Method[b] == 1 ? m.a[b] : m.Fo[b], ++c);
}

std::string valueRow(const Real* values, int n) {
  std::string line;
  for (int k = 1; k <= n; ++k) line += fmt::scientific(values[k], 15) + " ";
  return line;
}

void writeZeroParameter(Engine& engine, int j, int n) {
  TextWriter& out = engine.report;
  Real column[kMaxFitted + 2];
  for (int k = 1; k <= n; ++k) column[k] = engine.Jacobian(k, j);
  out.line("");
  out.line("The fitted parameter is equal to ZERO.");
  out.line("Parameter number is " + fmt::integer(j, 3));
  out.line("According column of matrix for singular decomposition:");
  out.line(valueRow(column, n));
}

// P(i,k) = sum over the kept singular values j of V(k,j) V(i,j): the projector onto the
// directions that received a correction.
void writeProjector(Engine& engine, GradientState& state, int n) {
  TextWriter& out = engine.report;
  const RealMatrix& V = engine.Jacobian;
  const std::string rule(80, '-');
  out.line(rule);
  out.line("Projector matrix:");
  Real* rowBuffer = state.correction;
  for (int i = 1; i <= n; ++i) {
    for (int k = 1; k <= i; ++k) {
      Real sum = 0;
      for (int j = 1; j <= n; ++j)
        if (state.W[j] > state.rankThreshold) sum += V(k, j) * V(i, j);
      rowBuffer[k] = sum;
    }
    out.line(valueRow(rowBuffer, i));
  }
  out.line(rule);
}

}  // namespace

void ParameterCorrection(Engine& engine, GradientState& state, int n) {
  Model& m = engine.model;
  TextWriter& out = engine.report;
  const RealMatrix& V = engine.Jacobian;
  const int t = state.iteration;
  if (engine.IERR != 0) {
    const std::string tildes(46, '~');
    out.line(tildes);
    out.line("! Procedure for fitted parameters corrections:");
    out.line("  Trouble. IERR= " + fmt::integer(engine.IERR, 3));
    out.line(tildes);
  }

  Real* correction = state.correction;
  Real Wmax = 0;
  for (int j = 1; j <= n; ++j) {
    correction[j] = 0;
    if (state.W[j] > Wmax) Wmax = state.W[j];
  }
  state.rankThreshold = kRankFraction * Wmax;

  // correction = sum over the kept singular values of V(:,j) (U^T r)(j) / W(j)
  int rank = 0;
  for (int j = 1; j <= n; ++j) {
    if (state.W[j] > state.rankThreshold) {
      ++rank;
      const Real factor = V(j, n + 1) / state.W[j];
      for (int k = 1; k <= n; ++k) correction[k] += V(k, j) * factor;
    } else if (t == 1) {
      writeZeroParameter(engine, j, n);
    }
  }
  state.rank[t] = static_cast<std::uint8_t>(rank);
  if (rank == 0) return;

  // An undetermined parameter stays exactly where it is (rounding in V would move it a hair).
  walkCorrectedValues(m, [&](Real& value, int c) {
    if (!state.undetermined[c]) value += m.Step * correction[c] / state.D[c];
  });

  if (rank < n && t <= 1) writeProjector(engine, state, n);
}

void GradientIteration(Engine& engine, GradientState& state) {
  Model& m = engine.model;
  // One row per point, and at least one per column for the decomposition; the columns and
  // the residual column.
  const int columns = engine.JacobianColumnCount();
  const int points = m.TotalPoints();
  engine.reserveJacobian(points > columns ? points : columns, columns + 1);
  for (int t = 1; t <= kMaxGradientIterations; ++t) {
    processUserEvents(engine);
    state.iteration = t;
    const int n = buildJacobian(engine, state);
    if (n == 0 || m.SingleStep) {
      m.RunIncomplete = 0;
      return;
    }
    scaleColumns(engine, state, n);
    engine.IERR = static_cast<std::uint8_t>(
        SvdSolve(engine.Jacobian, state.m, n, state.W, state.correction));
    throwOnFloatingPointFault();
    // The report's threshold is that of the last decomposition, also when no correction
    // follows it.
    Real Wmax = 0;
    for (int j = 1; j <= n; ++j)
      if (state.W[j] > Wmax) Wmax = state.W[j];
    state.rankThreshold = kRankFraction * Wmax;
    showFitProgress(engine, t, state.S);
    // Cancel, seen when the iteration began, ends the fit like convergence: the parameters of
    // the last correction have just been evaluated and decomposed, so the report's values,
    // residuals and deviations belong together.
    if (std::fabs(m.PreviousRF - m.TotalRF) <= kConvergedChange * m.TotalRF ||
        t == kMaxGradientIterations || m.CancelRequested)
      return;
    ParameterCorrection(engine, state, n);
  }
}

}  // namespace tarvolin
