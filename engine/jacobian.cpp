// One row of the Jacobian: the derivatives of the weighted calculated value
// sqrt(BlockWeight(b)) Ycalc(p) at a point with respect to every fitted parameter, the same
// derivatives whose residual sqrt(BlockWeight(b)) (Yexp - Ycalc) the objective sums.
//
// With Y = Fo + f S (S the block sum, times a in method 1), f = PointFactor(p), g =
// sqrt(BlockWeight(b)):
//   AV(i,b):    g f C(i), or g f lg C(i) in method 8;
//   lgBETA(i):  through the linearised mass balance (below);
//   Fo(b):      g;  a(b) in method 1: g d(-BlockFactor lg Y)/da;
//   method 1:   Ycalc = -BlockFactor lg Y, so dYcalc = -BlockFactor / (Y ln 10) dY;
//   increment mode: less the same derivatives of VolBefore(p) sum AV(i,b) C'(i) on the basis
//   before the addition.
// An additive value tied to another parameter (FitAV >= 10) shares that parameter: its
// derivative is added to the parameter's column.

#include <cmath>
#include <string>

#include "base/floating_point.h"
#include "base/number_format.h"
#include "engine/engine.h"

namespace tarvolin {

int Engine::JacobianColumnCount() const {
  const Model& m = model;
  int count = 0;
  for (int b = 1; b <= m.NBlocks; ++b) {
    for (int i = 1; i <= m.NSpecies; ++i) {
      if (m.FitAV[i][b] == 1) ++count;
    }
  }
  for (int i = 1; i <= m.NSpecies; ++i) {
    if (m.FitBeta[i] == 1) ++count;
  }
  for (int b = 1; b <= m.NBlocks; ++b) {
    if (m.FitBlock[b] == 1) ++count;
  }
  return count;
}

// d/dlgBETA(i) of f sum_m AV(m,b) C(m) on the system of the basis at the point (its present
// components k and formable species m), after its Newton matrix
// J(k,l) = sum_m a(m,k) a(m,l) C(m) has been decomposed. At fixed totals,
//   sum_l J(k,l) z(l) = -a(i,k) C(i)
// gives z, and ln 10 z = dLnFree/dlgBETA(i), so that
//   dC(m)/dlgBETA(i) = ln 10 C(m) (delta(m,i) + sum_k a(m,k) z(k)).
// With G = sum_m (sum_k a(m,k) z(k)) C(m) AV(m,b) the derivative is LN10 f (G + C(i) AV(i,b)).
// In method 8 the property is sum_m AV(m,b) lg C(m) over C(m) > 0, whose derivative is
// f (G + AV(i,b)) with G = sum_m (sum_k a(m,k) z(k)) AV(m,b): the logarithm cancels LN10.
// The result carries the weight factor g. A species that cannot form at the point (one of its
// components is absent) stays at C = 0 whatever its lgBETA: its derivative is exactly 0, and
// the absent components' balances, 0 = 0, are not part of the linearised system.
Real Engine::lgBetaDerivative(int b, int i, const Real* C, Real f, Real g, bool logarithmic) {
  const Model& m = model;
  const ReducedSystem& r = *sys_;
  if (!r.formed[i]) return 0;
  const int n = r.componentCount;
  for (int q = 1; q <= n; ++q) NewtonRhs[q] = -m.Stoich[i][r.presentComponent[q]] * C[i];
  if (n == 1) {
    NewtonRhs[1] = NewtonRhs[1] / NewtonMatrix[1];
  } else {
    choleskySubstitute(n);
  }
  const Real* z = NewtonRhs;
  Real G = 0;
  for (int f = 0; f < r.formedCount; ++f) {
    const int s = r.formedSpecies[f];
    if (logarithmic && !(C[s] > 0)) continue;
    Real sum = 0;
    for (int u = r.first[f]; u < r.first[f + 1]; ++u) sum += r.coefficient[u] * z[r.unknown[u]];
    G += logarithmic ? sum * m.AV[s][b] : sum * C[s] * m.AV[s][b];
  }
  if (logarithmic) {
    const Real own = C[i] > 0 ? m.AV[i][b] : 0;
    return f * (G + own) * g;
  }
  return LN10 * f * (G + C[i] * m.AV[i][b]) * g;
}

void Engine::singularJacobianNotice(int i, int ns) {
  report.line("");
  report.line(std::string(39, '!'));
  report.line("Jacobian for BETA(" + fmt::integer(i, 2) + ") is singular.");
  report.line("The Log(BETA) Values:");
  for (int s = 1; s <= ns; ++s)
    report.line("lgBETA(" + fmt::integer(s, 2) + ") = " + fmt::scientific(model.lgBETA[s], 15));
  report.line("");
}

// Builds and decomposes the Newton matrix of a basis for the lgBETA derivatives, on the system
// of its last solution (without the components absent there); false (with IERR set) when it
// is not positive definite. One component needs no decomposition, none has nothing to solve.
bool Engine::prepareLinearisedMassBalance(int nb, int ns, const Basis& basis,
                                          ReducedSystem& reduced) {
  reduced.prepare(model, nb, ns, basis.Absent);
  sys_ = &reduced;
  buildNewtonMatrix(basis.C);
  IERR = 0;
  return reduced.componentCount <= 1 || choleskyDecompose(reduced.componentCount);
}

int Engine::JacobianRow(int b, int p, Real Y, Real* row) {
  const Model& m = model;
  const int columns = JacobianColumnCount();
  for (int c = 1; c <= columns; ++c) row[c] = 0;
  const Real g = std::sqrt(m.BlockWeight[b]);
  const Real f = m.PointFactor[p];
  const Real fBefore = m.VolBefore[p];
  const bool method1 = m.Method[b] == 1;
  const bool method8 = m.Method[b] == 8;
  const bool increment = m.IncrementMode[b] == 1;
  const int nb = m.NReactants;
  const int ns = m.NSpecies;
  const int nbBefore = m.ActiveReactants;
  const int nsBefore = m.ActiveSpecies;
  const Real* C = main.C;
  const Real* CBefore = before.C;
  // A derivative v of Y (without the factor a) as a derivative of -BlockFactor lg Y.
  auto method1Form = [&](Real v) { return m.BlockFactor[b] * m.a[b] * (-v) / Y / LN10; };

  int column = 0;
  for (int bb = 1; bb <= m.NBlocks; ++bb) {
    for (int i = 1; i <= ns; ++i) {
      const int key = m.FitAV[i][bb];
      if (key == 1) ++column;
      if (bb != b) continue;
      const int target = key == 1 ? column : key >= 10 ? key / 10 : 0;
      if (target == 0 || target > columns) continue;
      Real v;
      if (method8) {
        v = C[i] > 0 ? f * (std::log(C[i]) / LN10) * g : 0;
      } else {
        v = f * C[i] * g;
      }
      if (increment && i <= nsBefore) v = v - fBefore * CBefore[i] * g;
      if (method1) v = method1Form(v);
      row[target] += v;
    }
  }

  const int betaBase = column;
  bool anyBeta = false;
  for (int i = 1; i <= ns; ++i) anyBeta = anyBeta || m.FitBeta[i] == 1;
  if (anyBeta) {
    const bool regular = prepareLinearisedMassBalance(nb, ns, main, reducedMain_);
    for (int i = 1; i <= ns; ++i) {
      if (m.FitBeta[i] != 1) continue;
      ++column;
      if (!regular && reducedMain_.formed[i]) {
        singularJacobianNotice(i, ns);
        continue;  // no contribution: the entry stays 0
      }
      Real v = lgBetaDerivative(b, i, C, f, g, method8);
      if (method1) v = method1Form(v);
      row[column] += v;
    }
    if (increment) {
      const bool regularBefore =
          prepareLinearisedMassBalance(nbBefore, nsBefore, before, reducedBefore_);
      int c = betaBase;
      for (int i = 1; i <= ns; ++i) {
        if (m.FitBeta[i] != 1) continue;
        ++c;
        if (i > nsBefore) continue;
        if (!regularBefore && reducedBefore_.formed[i]) {
          singularJacobianNotice(i, nsBefore);
          row[c] = 0;
          continue;
        }
        row[c] = row[c] - lgBetaDerivative(b, i, CBefore, fBefore, g, false);
      }
    }
  }

  for (int bb = 1; bb <= m.NBlocks; ++bb) {
    if (m.FitBlock[bb] != 1) continue;
    ++column;
    if (bb != b) continue;
    if (method1) {
      // d(-BlockFactor lg Y)/da = -BlockFactor (Y - Fo) / (a Y ln 10), with (Y - Fo) / a
      // taken as f S, so that a = 0 has its derivative too.
      row[column] += -m.BlockFactor[b] * (f * blockSum(b)) / (Y * LN10) * g;
    } else {
      row[column] += 1.0L * g;
    }
  }
  throwOnFloatingPointFault();
  return columns;
}

}  // namespace tarvolin
