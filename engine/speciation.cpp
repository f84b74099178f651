// Speciation at one point: the free concentrations of the basic components that satisfy the
// mass balances
//
//   Cbt(k) = sum_i a(i,k) C(i),   C(i) = exp( lgBETA(i) ln 10 + sum_k a(i,k) LnFree(k) ),
//
// solved for LnFree = ln of the free concentrations by Newton-Raphson, with a Nelder-Mead
// minimisation of the squared residuals as the start of the gradient method and as the
// fallback when Newton-Raphson fails.

#include <algorithm>
#include <cmath>
#include <string>

#include "base/floating_point.h"
#include "base/number_format.h"
#include "engine/calculation_aborted.h"
#include "engine/engine.h"

namespace tarvolin {

namespace {

constexpr int kMaxNewtonCycles = 999;
// Longest Newton step in ln units: a factor of 2.2e4 in a free concentration per cycle.
constexpr Real kMaxNewtonStep = 10.0L;
constexpr int kGradientStartMaxCount = 10;  // nine simplex iterations
constexpr int kFallbackMaxCount = 300;      // 299 iterations
// Warm starts are used once the run's step is below this value.
constexpr Real kWarmStartStep = 0.17L;

inline int packed(int k, int l) { return k * (k - 1) / 2 + l; }

const char* concentrationFaultText(FloatingPointFault fault) {
  switch (fault) {
    case FloatingPointFault::Invalid:
      return "Invalid floating point operation at the conc. calculations.";
    case FloatingPointFault::DivideByZero:
      return "Divide by zero at the conc. calculations.";
    case FloatingPointFault::Overflow:
      return "Owerflow at the conc. calculations";
    case FloatingPointFault::None:
      break;
  }
  return "External exception at the fitting";
}

// The mass-balance residual as the simplex sees it: every evaluation leaves LnFree at the
// evaluated point and C computed from it.
template <class Evaluate>
class MassBalanceProblem {
 public:
  MassBalanceProblem(Evaluate evaluate, int maxCount) : evaluate_(evaluate), maxCount_(maxCount) {}

  Real evaluate(const Real* point) { return evaluate_(point); }
  bool beginIteration(int) { return true; }
  // Stops when the counter reaches maxCount or the best residual of the iteration is
  // negligible; otherwise the counter moves on, and reaching maxCount then also stops, so at
  // most maxCount - 1 iterations run.
  bool endIteration(int k, const NelderMead& simplex) {
    if (k == maxCount_ || std::sqrt(simplex.bestValue()) < 1e-18L) return true;
    return k + 1 == maxCount_;
  }

 private:
  Evaluate evaluate_;
  int maxCount_;
};

}  // namespace

Engine::Engine(Model& m, Platform& p, TextWriter& r)
    : model(m), platform(p), report(r), LN10(std::log(10.0L)) {}

void Engine::startRun() {
  WarmStart = 0;
  MassBalanceNoticeShown = 0;
  LN10 = std::log(10.0L);
  MethodCode = model.FittingMethod;
}

BasisView Engine::mainView() {
  return {.nb = model.NReactants,
          .ns = model.NSpecies,
          .ct = model.Ct,
          .basis = &main,
          .noticeHeader = "=== CALC ===",
          .inputError = "Error in input of basis (Procedure CALC):  "};
}

BasisView Engine::beforeView() {
  return {.nb = model.ActiveReactants,
          .ns = model.ActiveSpecies,
          .ct = model.CtBefore,
          .basis = &before,
          .noticeHeader = "=== CALCI ===",
          .inputError = "Error in input of basis (Procedure CALCI):  "};
}

void Engine::CALC() { solve(mainView()); }
void Engine::CALCI() { solve(beforeView()); }

void Engine::collectNonZero(int nb, int ns) {
  for (int i = 1; i <= ns; ++i) {
    int count = 0;
    for (int k = 1; k <= nb; ++k) {
      const int a = model.Stoich[i][k];
      if (a == 0) continue;
      nonZeroComponent_[i][count] = static_cast<std::uint8_t>(k);
      nonZeroCoefficient_[i][count] = a;
      ++count;
    }
    nonZeroCount_[i] = count;
  }
}

// Cbt(k) = sum_j Ct_j a(ReagentSpecies(j), k), with Ct_j = Ct(p,j) Purity(j) for a reagent
// whose purity is fitted and Ct(p,j) otherwise.
void Engine::computeTotals(const BasisView& view) {
  const Model& m = model;
  const int p = m.CurrentPoint;
  Real* Cbt = view.basis->Cbt;
  for (int k = 1; k <= view.nb; ++k) Cbt[k] = 0;
  for (int j = 1; j <= m.NInputReagents; ++j) {
    const Real ct = m.FitPurity[j] == 1 ? view.ct[p][j] * m.Purity[j] : view.ct[p][j];
    const int s = m.ReagentSpecies[j];
    for (int k = 1; k <= view.nb; ++k) {
      const int a = m.Stoich[s][k];
      if (a != 0) Cbt[k] += ct * a;
    }
  }
}

// C(i) = exp( lgBETA(i) LN10 + sum_k a(i,k) LnFree(k) ).
void Engine::speciesConcentrations(const BasisView& view) {
  const Real* LnFree = view.basis->LnFree;
  Real* C = view.basis->C;
  for (int i = 1; i <= view.ns; ++i) {
    Real sum = 0;
    const int count = nonZeroCount_[i];
    for (int t = 0; t < count; ++t)
      sum += nonZeroCoefficient_[i][t] * LnFree[nonZeroComponent_[i][t]];
    C[i] = std::exp(model.lgBETA[i] * LN10 + sum);
  }
}

// componentSum_(k) = sum_i a(i,k) C(i), accumulated species by species so that each sum takes
// its terms in the order of the species.
static void sumOverSpecies(int nb, int ns, const Real* C, const int* count,
                           const std::uint8_t (*component)[kMaxReactants],
                           const Real (*coefficient)[kMaxReactants], Real* sum) {
  for (int k = 1; k <= nb; ++k) sum[k] = 0;
  for (int i = 1; i <= ns; ++i) {
    const Real Ci = C[i];
    for (int t = 0; t < count[i]; ++t) sum[component[i][t]] += coefficient[i][t] * Ci;
  }
}

// F = sum_k ( Cbt(k) - sum_i a(i,k) C(i) )^2 at the current LnFree.
Real Engine::massBalanceResidualSquares(const BasisView& view) {
  speciesConcentrations(view);
  sumOverSpecies(view.nb, view.ns, view.basis->C, nonZeroCount_, nonZeroComponent_,
                 nonZeroCoefficient_, componentSum_);
  const Real* Cbt = view.basis->Cbt;
  Real F = 0;
  for (int k = 1; k <= view.nb; ++k) {
    const Real d = Cbt[k] - componentSum_[k];
    F += d * d;
  }
  return F;
}

void Engine::solve(const BasisView& view) {
  computeTotals(view);
  if (view.ns == view.nb) {
    // Only the free components themselves: each one's free concentration is its total.
    for (int k = 1; k <= view.nb; ++k) view.basis->C[k] = view.basis->Cbt[k];
    return;
  }
  collectNonZero(view.nb, view.ns);
  if (MethodCode <= kGradient) {
    massBalanceSimplex(view, kGradientStartMaxCount);
  } else if (WarmStart != -1) {
    startFromTotals(view);
    if (model.Step < kWarmStartStep) WarmStart = -1;
  }
  newtonRaphson(view);
}

// Start values from the totals: LnFree(k) = ln( Cbt(k) - 0.75 / S ), S = sum over the non-zero
// totals of 1/Cbt(k). 1/S is formed as P / sum_k (P / Cbt(k)), P the product of the non-zero
// totals. A zero total is reported and left out of S; its logarithm then fails.
void Engine::startFromTotals(const BasisView& view) {
  const Real* Cbt = view.basis->Cbt;
  Real* LnFree = view.basis->LnFree;
  Real P = 1.0L;
  for (int k = 1; k <= view.nb; ++k) {
    if (Cbt[k] != 0) P *= Cbt[k];
  }
  Real sum = 0;
  for (int k = 1; k <= view.nb; ++k) {
    if (Cbt[k] != 0) {
      sum += P / Cbt[k];
    } else {
      report.line(std::string(view.inputError) + "Co(" + fmt::integer(k) +
                  ")=" + fmt::scientific(Cbt[k], 15));
    }
  }
  const Real reciprocalS = P / sum;
  for (int k = 1; k <= view.nb; ++k) LnFree[k] = std::log(Cbt[k] - 0.75L * reciprocalS);
  // A failed logarithm ends the calculation here, where it happened.
  throwOnFloatingPointFault();
}

void Engine::buildNewtonMatrix(int nb, int ns, const Real* C) {
  const int size = nb * (nb + 1) / 2;
  for (int t = 1; t <= size; ++t) NewtonMatrix[t] = 0;
  // J(k,l) = sum_i a(i,k) a(i,l) C(i), each entry summed in the order of the species.
  for (int i = 1; i <= ns; ++i) {
    const int count = nonZeroCount_[i];
    const Real Ci = C[i];
    for (int s = 0; s < count; ++s) {
      const int k = nonZeroComponent_[i][s];
      const int ak = static_cast<int>(nonZeroCoefficient_[i][s]);
      for (int t = 0; t <= s; ++t) {
        const int l = nonZeroComponent_[i][t];
        const int al = static_cast<int>(nonZeroCoefficient_[i][t]);
        NewtonMatrix[packed(k, l)] += static_cast<Real>(ak * al) * Ci;
      }
    }
  }
}

// Newton-Raphson on ln of the free concentrations: each cycle solves
//   sum_l J(k,l) delta(l) = Cbt(k) - sum_i a(i,k) C(i)
// and adds delta to LnFree. Component k counts as converged when
// |delta(k)| <= 1e-18 NB |LnFree(k)|; once all have converged in a cycle, the next cycle
// computes C from the final LnFree and returns.
void Engine::newtonRaphson(const BasisView& view) {
  const int nb = view.nb;
  Basis& basis = *view.basis;
  const Real tolerance = 1e-18L * nb;
  int converged = 0;
  for (int cycle = 1; cycle <= kMaxNewtonCycles; ++cycle) {
    speciesConcentrations(view);
    // A diverging iteration overflows here first; it ends the calculation with that fault
    // rather than with the invalid operations that the infinities would cause next.
    throwOnFloatingPointFault();
    if (converged == nb) return;
    sumOverSpecies(nb, view.ns, basis.C, nonZeroCount_, nonZeroComponent_, nonZeroCoefficient_,
                   componentSum_);
    for (int k = 1; k <= nb; ++k) NewtonRhs[k] = basis.Cbt[k] - componentSum_[k];
    buildNewtonMatrix(nb, view.ns, basis.C);
    CholeskySolve(nb);
    if (IERR != 0) {
      notConsistentNotice(view, cycle);
      massBalanceSimplex(view, kFallbackMaxCount);
      return;
    }
    converged = 0;
    for (int k = 1; k <= nb; ++k) {
      if (std::fabs(NewtonRhs[k]) <= tolerance * std::fabs(basis.LnFree[k])) ++converged;
    }
    // From far below the solution the full step overshoots by orders of magnitude (the
    // logarithm of a species concentration grows linearly, the concentration exponentially):
    // a step longer than kMaxNewtonStep is shortened to that length along its direction.
    Real largest = 0;
    for (int k = 1; k <= nb; ++k) largest = std::max(largest, std::fabs(NewtonRhs[k]));
    if (largest > kMaxNewtonStep) {
      const Real shorten = kMaxNewtonStep / largest;
      for (int k = 1; k <= nb; ++k) NewtonRhs[k] *= shorten;
    }
    for (int k = 1; k <= nb; ++k) basis.LnFree[k] += NewtonRhs[k];
  }
  notConvergedNotice(view, kMaxNewtonCycles);
  massBalanceSimplex(view, kFallbackMaxCount);
}

void Engine::notConsistentNotice(const BasisView& view, int cycle) {
  // A fault raised earlier in this point would have ended the calculation there.
  throwOnFloatingPointFault();
  if (MassBalanceNoticeShown) return;
  report.line(view.noticeHeader);
  report.line("Mass balance equations are not consistent for point " +
              fmt::integer(model.CurrentPoint, 4) + " and current iteration " +
              fmt::integer(cycle, 3));
  for (int i = 1; i <= view.ns; ++i) {
    report.line("lgBETA(" + fmt::integer(i, 2) + ") = " + fmt::scientific(model.lgBETA[i], 15) +
                "  C(" + fmt::integer(i, 2) + ") = " + fmt::scientific(view.basis->C[i], 15));
  }
  report.line("Mass balance is calculated by simplex method...");
  MassBalanceNoticeShown = 1;
}

void Engine::notConvergedNotice(const BasisView& view, int cycle) {
  throwOnFloatingPointFault();
  if (MassBalanceNoticeShown) return;
  report.line(view.noticeHeader);
  report.line("Convergence is not reached for point " + fmt::integer(model.CurrentPoint, 4) +
              " and max cycle number " + fmt::integer(cycle, 5));
  report.line("Mass balance is calculated by simplex method...");
  MassBalanceNoticeShown = 1;
}

// LL^T decomposition of the packed matrix in place, row by row:
//   s = J(k,l) - sum_{t<l} L(k,t) L(l,t);
//   diagonal: s <= 0 fails, else 1/sqrt(s) is stored in place of L(k,k);
//   below it: L(k,l) = s (1/L(l,l)).
bool Engine::choleskyDecompose(int n) {
  Real* J = NewtonMatrix;
  for (int k = 1; k <= n; ++k) {
    const int rowK = packed(k, 0);
    for (int l = 1; l <= k; ++l) {
      const int rowL = packed(l, 0);
      Real sum = 0;
      for (int t = 1; t < l; ++t) sum += J[rowK + t] * J[rowL + t];
      const Real s = J[rowK + l] - sum;
      if (l == k) {
        if (s <= 0) {
          IERR = static_cast<std::uint8_t>(k);
          return false;
        }
        J[rowK + k] = 1 / std::sqrt(s);
      } else {
        J[rowK + l] = s * J[rowL + l];
      }
    }
  }
  return true;
}

// Forward substitution with L, back substitution with L^T, each step multiplied by the stored
// reciprocal of the diagonal; the solution replaces the right-hand side.
void Engine::choleskySubstitute(int n) {
  const Real* J = NewtonMatrix;
  Real* r = NewtonRhs;
  for (int k = 1; k <= n; ++k) {
    const int rowK = packed(k, 0);
    Real sum = 0;
    for (int t = 1; t < k; ++t) sum += J[rowK + t] * r[t];
    r[k] = (r[k] - sum) * J[rowK + k];
  }
  for (int k = n; k >= 1; --k) {
    Real sum = 0;
    for (int t = k + 1; t <= n; ++t) sum += J[packed(t, k)] * r[t];
    r[k] = (r[k] - sum) * J[packed(k, k)];
  }
}

void Engine::CholeskySolve(int n) {
  IERR = 0;
  if (n == 1) {
    NewtonRhs[1] = NewtonRhs[1] / NewtonMatrix[1];
    return;
  }
  if (choleskyDecompose(n)) choleskySubstitute(n);
}

// The simplex's objective at a point: LnFree := point, then F.
Real Engine::massBalanceAt(const BasisView& view, const Real* point) {
  Real* LnFree = view.basis->LnFree;
  for (int k = 1; k <= view.nb; ++k) LnFree[k] = point[k];
  return massBalanceResidualSquares(view);
}

// Minimises F over LnFree from LnFree(k) = ln(0.214169 Cbt(k)) (ln 1e-18 for a total that is
// not positive), in a starting simplex of edge Step. Leaves LnFree at the centroid of its last
// iteration and C computed from it.
void Engine::massBalanceSimplex(const BasisView& view, int maxCount) {
  computeTotals(view);
  const Real* Cbt = view.basis->Cbt;
  for (int k = 1; k <= view.nb; ++k)
    startPoint_[k] = Cbt[k] > 0 ? std::log(0.214169L * Cbt[k]) : std::log(1e-18L);
  guardedFirstEvaluation(view, startPoint_);
  auto evaluate = [this, &view](const Real* point) {
    const Real F = massBalanceAt(view, point);
    throwOnFloatingPointFault();
    return F;
  };
  MassBalanceProblem<decltype(evaluate)> problem(evaluate, maxCount);
  massBalanceVertices_.start(problem, startPoint_, view.nb, model.Step);
  massBalanceVertices_.iterate(problem);
}

// The first evaluation at the start point is where impossible constants (an lgBETA far out of
// range, an infinite total) show first: its failure is told to the user with the fault's text
// and a hint, and the calculation is abandoned.
Real Engine::guardedFirstEvaluation(const BasisView& view, const Real* x0) {
  throwOnFloatingPointFault();  // a fault from before belongs to the place that raised it
  clearFloatingPointFlags();
  const Real F = massBalanceAt(view, x0);
  const FloatingPointFault fault = raisedFloatingPointFault();
  if (fault == FloatingPointFault::None) return F;
  clearFloatingPointFlags();
  platform.showMessage(MessageKind::Error, "Error", concentrationFaultText(fault),
                       MessageButtons::Ok);
  platform.showMessage(MessageKind::Error, "Error",
                       "Try another initial lgBETA values or fitting algorithm please.",
                       MessageButtons::Ok);
  throw CalculationAborted(concentrationFaultText(fault));
}

}  // namespace tarvolin
