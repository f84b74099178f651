// Calculated values of the experimental methods, the weighted least-squares objective with
// Hamilton's R-factors, and the parameter vector that the simplex and Monte Carlo methods move.

#include <cmath>

#include "base/floating_point.h"
#include "engine/engine.h"
#include "engine/parameter_transform.h"

namespace tarvolin {

// The block's sum over species before the block multiplier and the point factor:
// method 8: sum over the species with C(i) > 0 of AV(i,b) ln C(i) / LN10 (a property linear in
// the decimal logarithms, e.g. an electrode potential); other methods: sum_i AV(i,b) C(i).
// A term whose AV is 0 and whose C is finite is a zero that leaves the sum as it is (from
// +0 on, adding -0 or +0 changes nothing) and raises no flag: it is not formed, nor is the
// logarithm of its concentration.
Real Engine::blockSum(int b) const {
  const Model& m = model;
  const Real* C = main.C;
  Real sum = 0;
  if (m.Method[b] == 8) {
    for (int i = 1; i <= m.NSpecies; ++i) {
      if (!(C[i] > 0) || (m.AV[i][b] == 0 && std::isfinite(C[i]))) continue;
      sum += m.AV[i][b] * std::log(C[i]) / LN10;
    }
  } else {
    for (int i = 1; i <= m.NSpecies; ++i) {
      if (m.AV[i][b] == 0 && std::isfinite(C[i])) continue;
      sum += m.AV[i][b] * C[i];
    }
  }
  return sum;
}

// Y = Fo(b) + S PointFactor(p), S the block sum, multiplied by a(b) in a method-1 block.
Real Engine::BlockValue(int b) const {
  Real sum = blockSum(b);
  if (model.Method[b] == 1) sum = sum * model.a[b];
  return model.Fo[b] + sum * model.PointFactor[model.CurrentPoint];
}

// VolBefore(p) sum_{i <= ActiveSpecies} AV(i,b) C'(i): no Fo, no logarithm, no multiplier.
Real Engine::BeforeValue(int b) const {
  const Model& m = model;
  Real sum = 0;
  for (int i = 1; i <= m.ActiveSpecies; ++i) sum += m.AV[i][b] * before.C[i];
  return m.VolBefore[m.CurrentPoint] * sum;
}

Real Engine::CalculatePoint(int b, int p) {
  Model& m = model;
  m.CurrentPoint = static_cast<std::uint16_t>(p);
  CALC();
  const Real Y = BlockValue(b);
  Real ycalc = Y;
  if (m.Method[b] == 1) ycalc = -m.BlockFactor[b] * std::log(Y) / LN10;
  if (m.IncrementMode[b] == 1) {
    // The cell before the first addition holds only the block's initial components and
    // species; from the second addition on it holds all of them. Both changes of basis start
    // the solution afresh from the totals.
    const int first = m.First(b);
    if (p == first) {
      m.ActiveReactants = m.InitReactants[b];
      m.ActiveSpecies = m.InitSpecies[b];
      WarmStart = 0;
    } else if (p == first + 1) {
      m.ActiveReactants = m.NReactants;
      m.ActiveSpecies = m.NSpecies;
      WarmStart = 0;
    }
    CALCI();
    ycalc = ycalc - BeforeValue(b);
  }
  m.Ycalc[p] = ycalc;
  throwOnFloatingPointFault();
  return Y;
}

// Objective = sum_b BlockWeight(b) SS(b), SS(b) = sum over the block of (Yexp - Ycalc)^2;
// RF(b) = 100 sqrt(SS(b) / SY(b)), SY(b) = sum Yexp^2 (unweighted within a block);
// TotalRF = 100 sqrt(Objective / sum_b BlockWeight(b) SY(b)).
Real Engine::EvaluateObjective() {
  Model& m = model;
  ++ObjectiveEvaluations;
  m.PreviousRF = m.TotalRF;
  m.TotalRF = 0;
  m.Objective = 0;
  Real W = 0;
  UnpackParameters();
  throwOnFloatingPointFault();
  int p = 0;
  for (int b = 1; b <= m.NBlocks; ++b) {
    Real SS = 0;
    Real SY = 0;
    for (int j = 1; j <= m.NPoints[b]; ++j) {
      ++p;
      CalculatePoint(b, p);
      const Real D = m.Yexp[p] - m.Ycalc[p];
      SS += D * D;
      SY += m.Yexp[p] * m.Yexp[p];
      throwOnFloatingPointFault();
    }
    m.Objective += m.BlockWeight[b] * SS;
    W += m.BlockWeight[b] * SY;
    m.RF[b] = 100 * std::sqrt(SS / SY);
  }
  m.TotalRF = 100 * std::sqrt(m.Objective / W);
  throwOnFloatingPointFault();
  return m.Objective;
}

// The vector's order: fitted AV (blocks outer, species inner), fitted lgBETA, fitted block
// parameters (a in a method-1 block, Fo otherwise), fitted purities. An AV whose FitAV is 10
// or more takes the value of element FitAV div 10 on unpacking and has no element of its own.
void Engine::walkParameters(bool unpack) {
  Model& m = model;
  int n = 0;
  auto element = [&](Real& value) {
    ++n;
    if (n > kMaxFitted) return;  // beyond the model's limit; the readers refuse such input
    if (unpack) {
      value = hyperbolicSine(x[n]);
    } else {
      x[n] = inverseHyperbolicSine(ParamScale * value);
    }
  };
  for (int b = 1; b <= m.NBlocks; ++b) {
    for (int i = 1; i <= m.NSpecies; ++i) {
      const int key = m.FitAV[i][b];
      if (key == 1) {
        element(m.AV[i][b]);
      } else if (unpack && key >= 10) {
        m.AV[i][b] = hyperbolicSine(x[key / 10]);
      }
    }
  }
  for (int i = 1; i <= m.NSpecies; ++i) {
    if (m.FitBeta[i] == 1) element(m.lgBETA[i]);
  }
  for (int b = 1; b <= m.NBlocks; ++b) {
    if (m.FitBlock[b] == 1) element(m.Method[b] == 1 ? m.a[b] : m.Fo[b]);
  }
  for (int j = 1; j <= m.NInputReagents; ++j) {
    if (m.FitPurity[j] == 1) element(m.Purity[j]);
  }
  m.NFit = static_cast<std::uint8_t>(n > kMaxFitted ? kMaxFitted : n);
}

void Engine::PackParameters() { walkParameters(false); }
void Engine::UnpackParameters() { walkParameters(true); }

}  // namespace tarvolin
