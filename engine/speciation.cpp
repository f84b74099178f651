// Speciation at one point: the free concentrations of the basic components that satisfy the
// mass balances
//
//   Cbt(k) = sum_i a(i,k) C(i),   C(i) = exp( lgBETA(i) ln 10 + sum_k a(i,k) LnFree(k) ),
//
// solved for LnFree = ln of the free concentrations by Newton-Raphson, with a Nelder-Mead
// minimisation of the squared residuals as the start of the gradient method and as the
// fallback when Newton-Raphson fails.
//
// A basic component can be absent at a point: the guest before the first addition of an NMR
// or UV-vis titration, the metal of a blank titration. Its total is exactly zero and every
// species that can form holds it with a positive coefficient, so that its balance
// sum_i a(i,k) C(i) = 0, a sum of terms that cannot be negative, forces every species that
// contains it to zero. A species that contains an absent component cannot form; a component
// held with a negative coefficient only by such species is absent too. Absent components have
// a free concentration of exactly 0 (LnFree = -infinity) and their species C = 0 exactly, and
// the mass balances above are solved as usual on the reduced system: the balances of the
// present components, in their free concentrations, over the species made only of them. A
// zero total of a component that a formable species holds with a negative coefficient (the
// protons of a solution whose hydroxide they balance, written with a(OH,H) = -1) is an ordinary
// balance with a solution of positive concentrations and stays in the system.

#include <algorithm>
#include <cmath>
#include <limits>
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
inline std::uint64_t bit(int k) { return std::uint64_t{1} << k; }

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
          .ct = &model.Ct,
          .basis = &main,
          .noticeHeader = "=== CALC ==="};
}

BasisView Engine::beforeView() {
  return {.nb = model.ActiveReactants,
          .ns = model.ActiveSpecies,
          .ct = &model.CtBefore,
          .basis = &before,
          .noticeHeader = "=== CALCI ==="};
}

void Engine::CALC() { solve(mainView()); }
void Engine::CALCI() { solve(beforeView()); }

// Components with their unknowns, formable species with their non-zero coefficients. Without
// absent components every component is present (unknown q is component q) and every species
// forms.
void Engine::collectReducedSystem(int nb, int ns, std::uint64_t absent) {
  std::uint8_t unknown[kMaxReactants + 1] = {};
  componentCount_ = 0;
  for (int k = 1; k <= nb; ++k) {
    if (absent & bit(k)) continue;
    ++componentCount_;
    presentComponent_[componentCount_] = static_cast<std::uint8_t>(k);
    unknown[k] = static_cast<std::uint8_t>(componentCount_);
  }
  formedCount_ = 0;
  for (int i = 1; i <= ns; ++i) {
    int count = 0;
    bool formed = true;
    for (int k = 1; k <= nb && formed; ++k) {
      const int a = model.Stoich[i][k];
      if (a == 0) continue;
      formed = (absent & bit(k)) == 0;
      nonZeroComponent_[i][count] = static_cast<std::uint8_t>(k);
      nonZeroUnknown_[i][count] = unknown[k];
      nonZeroStoich_[i][count] = static_cast<std::int8_t>(a);
      nonZeroCoefficient_[i][count] = a;
      ++count;
    }
    formed_[i] = formed;
    nonZeroCount_[i] = formed ? count : 0;
    if (formed) formedSpecies_[formedCount_++] = static_cast<std::uint8_t>(i);
  }
}

// True when species i holds one of the given components.
bool Engine::holdsAny(int i, std::uint64_t components, int nb) const {
  for (int k = 1; k <= nb; ++k) {
    if ((components & bit(k)) && model.Stoich[i][k] != 0) return true;
  }
  return false;
}

// The absent components of the basis at the current point (see the top of this file): those
// with a zero total that no formable species holds with a negative coefficient, found by
// adding such components until none is left, since each one found can stop more species from
// forming.
std::uint64_t Engine::absentComponents(const BasisView& view) const {
  const Real* Cbt = view.basis->Cbt;
  std::uint64_t zero = 0;
  for (int k = 1; k <= view.nb; ++k) {
    if (Cbt[k] == 0) zero |= bit(k);
  }
  if (zero == 0) return 0;
  std::uint64_t absent = 0;
  for (bool grown = true; grown;) {
    grown = false;
    for (int k = 1; k <= view.nb; ++k) {
      if (!(zero & bit(k)) || (absent & bit(k))) continue;
      bool balanced = false;
      for (int i = 1; i <= view.ns && !balanced; ++i)
        balanced = model.Stoich[i][k] < 0 && !holdsAny(i, absent, view.nb);
      if (balanced) continue;
      absent |= bit(k);
      grown = true;
    }
  }
  return absent;
}

// True when a present component has a zero total (a balanced one).
bool Engine::zeroTotalPresent(const BasisView& view) const {
  for (int q = 1; q <= componentCount_; ++q) {
    if (view.basis->Cbt[presentComponent_[q]] == 0) return true;
  }
  return false;
}

// Cbt(k) = sum_j Ct_j a(ReagentSpecies(j), k), with Ct_j = Ct(p,j) Purity(j) for a reagent
// whose purity is fitted and Ct(p,j) otherwise.
void Engine::computeTotals(const BasisView& view) {
  const Model& m = model;
  const int p = m.CurrentPoint;
  Real* Cbt = view.basis->Cbt;
  for (int k = 1; k <= view.nb; ++k) Cbt[k] = 0;
  const Real* totals = (*view.ct)[p];
  for (int j = 1; j <= m.NInputReagents; ++j) {
    const Real ct = m.FitPurity[j] == 1 ? totals[j] * m.Purity[j] : totals[j];
    const int s = m.ReagentSpecies[j];
    for (int k = 1; k <= view.nb; ++k) {
      const int a = m.Stoich[s][k];
      if (a != 0) Cbt[k] += ct * a;
    }
  }
}

// C(i) = exp( lgBETA(i) LN10 + sum_k a(i,k) LnFree(k) ) for the species that can form.
void Engine::speciesConcentrations(const BasisView& view) {
  const Real* LnFree = view.basis->LnFree;
  Real* C = view.basis->C;
  for (int f = 0; f < formedCount_; ++f) {
    const int i = formedSpecies_[f];
    Real sum = 0;
    const int count = nonZeroCount_[i];
    for (int t = 0; t < count; ++t)
      sum += nonZeroCoefficient_[i][t] * LnFree[nonZeroComponent_[i][t]];
    C[i] = std::exp(model.lgBETA[i] * LN10 + sum);
  }
}

// componentSum_(k) = sum_i a(i,k) C(i) for the present components k, accumulated species by
// species so that each sum takes its terms in the order of the species.
void Engine::componentSums(const Real* C) {
  for (int q = 1; q <= componentCount_; ++q) componentSum_[presentComponent_[q]] = 0;
  for (int f = 0; f < formedCount_; ++f) {
    const int i = formedSpecies_[f];
    const Real Ci = C[i];
    for (int t = 0; t < nonZeroCount_[i]; ++t)
      componentSum_[nonZeroComponent_[i][t]] += nonZeroCoefficient_[i][t] * Ci;
  }
}

// F = sum over the present k of ( Cbt(k) - sum_i a(i,k) C(i) )^2 at the current LnFree.
Real Engine::massBalanceResidualSquares(const BasisView& view) {
  speciesConcentrations(view);
  componentSums(view.basis->C);
  const Real* Cbt = view.basis->Cbt;
  Real F = 0;
  for (int q = 1; q <= componentCount_; ++q) {
    const int k = presentComponent_[q];
    const Real d = Cbt[k] - componentSum_[k];
    F += d * d;
  }
  return F;
}

void Engine::solve(const BasisView& view) {
  computeTotals(view);
  Basis& basis = *view.basis;
  const std::uint64_t absent = absentComponents(view);
  // The last solution of this basis is a start only for the same set of present components.
  const bool sameComponents = absent == basis.Absent;
  basis.Absent = absent;
  if (view.ns == view.nb) {
    // Only the free components themselves: each one's free concentration is its total.
    for (int k = 1; k <= view.nb; ++k) basis.C[k] = basis.Cbt[k];
    return;
  }
  collectReducedSystem(view.nb, view.ns, absent);
  if (absent != 0) {
    for (int i = 1; i <= view.ns; ++i) {
      if (!formed_[i]) basis.C[i] = 0;
    }
    for (int k = 1; k <= view.nb; ++k) {
      if (absent & bit(k)) basis.LnFree[k] = -std::numeric_limits<Real>::infinity();
    }
    if (componentCount_ == 0) return;  // nothing in solution
  }
  if (MethodCode <= kGradient) {
    massBalanceSimplex(view, kGradientStartMaxCount);
  } else if (WarmStart != -1 || !sameComponents) {
    // A balanced zero total has no start value of the form below; the short simplex of the
    // gradient method gives one.
    if (zeroTotalPresent(view)) {
      massBalanceSimplex(view, kGradientStartMaxCount);
    } else {
      startFromTotals(view);
    }
    if (model.Step < kWarmStartStep) WarmStart = -1;
  }
  newtonRaphson(view);
}

// Start values from the totals of the present components, none of them zero:
// LnFree(k) = ln( Cbt(k) - 0.75 / S ), S = sum_k 1/Cbt(k), with 1/S formed as
// P / sum_k (P / Cbt(k)), P the product of the totals. A negative total can make the argument
// negative; the failed logarithm then ends the calculation.
void Engine::startFromTotals(const BasisView& view) {
  const Real* Cbt = view.basis->Cbt;
  Real* LnFree = view.basis->LnFree;
  Real P = 1.0L;
  for (int q = 1; q <= componentCount_; ++q) P *= Cbt[presentComponent_[q]];
  Real sum = 0;
  for (int q = 1; q <= componentCount_; ++q) sum += P / Cbt[presentComponent_[q]];
  const Real reciprocalS = P / sum;
  for (int q = 1; q <= componentCount_; ++q) {
    const int k = presentComponent_[q];
    LnFree[k] = std::log(Cbt[k] - 0.75L * reciprocalS);
  }
  // A failed logarithm ends the calculation here, where it happened.
  throwOnFloatingPointFault();
}

// J(q,r) = sum_i a(i,k_q) a(i,k_r) C(i) over the formable species, for the unknowns q, r of the
// present components, each entry summed in the order of the species.
void Engine::buildNewtonMatrix(const Real* C) {
  const int size = componentCount_ * (componentCount_ + 1) / 2;
  for (int t = 1; t <= size; ++t) NewtonMatrix[t] = 0;
  for (int f = 0; f < formedCount_; ++f) {
    const int i = formedSpecies_[f];
    const int count = nonZeroCount_[i];
    const Real Ci = C[i];
    for (int s = 0; s < count; ++s) {
      const int k = nonZeroUnknown_[i][s];
      const int ak = nonZeroStoich_[i][s];
      for (int t = 0; t <= s; ++t) {
        const int l = nonZeroUnknown_[i][t];
        const int al = nonZeroStoich_[i][t];
        NewtonMatrix[packed(k, l)] += static_cast<Real>(ak * al) * Ci;
      }
    }
  }
}

// Newton-Raphson on ln of the free concentrations of the n present components: each cycle
// solves
//   sum_l J(k,l) delta(l) = Cbt(k) - sum_i a(i,k) C(i)
// and adds delta to LnFree. Component k counts as converged when
// |delta(k)| <= 1e-18 n |LnFree(k)|; once all have converged in a cycle, the next cycle
// computes C from the final LnFree and returns.
void Engine::newtonRaphson(const BasisView& view) {
  const int n = componentCount_;
  const std::uint8_t* component = presentComponent_;
  Basis& basis = *view.basis;
  const Real tolerance = 1e-18L * n;
  int converged = 0;
  for (int cycle = 1; cycle <= kMaxNewtonCycles; ++cycle) {
    speciesConcentrations(view);
    // A diverging iteration overflows here first; it ends the calculation with that fault
    // rather than with the invalid operations that the infinities would cause next.
    throwOnFloatingPointFault();
    if (converged == n) return;
    componentSums(basis.C);
    for (int q = 1; q <= n; ++q)
      NewtonRhs[q] = basis.Cbt[component[q]] - componentSum_[component[q]];
    buildNewtonMatrix(basis.C);
    CholeskySolve(n);
    if (IERR != 0) {
      notConsistentNotice(view, cycle);
      massBalanceSimplex(view, kFallbackMaxCount);
      return;
    }
    converged = 0;
    for (int q = 1; q <= n; ++q) {
      if (std::fabs(NewtonRhs[q]) <= tolerance * std::fabs(basis.LnFree[component[q]])) ++converged;
    }
    // From far below the solution the full step overshoots by orders of magnitude (the
    // logarithm of a species concentration grows linearly, the concentration exponentially):
    // a step longer than kMaxNewtonStep is shortened to that length along its direction.
    Real largest = 0;
    for (int q = 1; q <= n; ++q) largest = std::max(largest, std::fabs(NewtonRhs[q]));
    if (largest > kMaxNewtonStep) {
      const Real shorten = kMaxNewtonStep / largest;
      for (int q = 1; q <= n; ++q) NewtonRhs[q] *= shorten;
    }
    for (int q = 1; q <= n; ++q) basis.LnFree[component[q]] += NewtonRhs[q];
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

// The simplex's objective at a point of the present components' unknowns: LnFree := point,
// then F.
Real Engine::massBalanceAt(const BasisView& view, const Real* point) {
  Real* LnFree = view.basis->LnFree;
  for (int q = 1; q <= componentCount_; ++q) LnFree[presentComponent_[q]] = point[q];
  return massBalanceResidualSquares(view);
}

// Minimises F over the LnFree of the present components from LnFree(k) = ln(0.214169 Cbt(k))
// (ln 1e-18 for a total that is not positive), in a starting simplex of edge Step. Leaves
// LnFree at the centroid of its last iteration and C computed from it.
void Engine::massBalanceSimplex(const BasisView& view, int maxCount) {
  computeTotals(view);
  const Real* Cbt = view.basis->Cbt;
  for (int q = 1; q <= componentCount_; ++q) {
    const int k = presentComponent_[q];
    startPoint_[q] = Cbt[k] > 0 ? std::log(0.214169L * Cbt[k]) : std::log(1e-18L);
  }
  guardedFirstEvaluation(view, startPoint_);
  auto evaluate = [this, &view](const Real* point) {
    const Real F = massBalanceAt(view, point);
    throwOnFloatingPointFault();
    return F;
  };
  MassBalanceProblem<decltype(evaluate)> problem(evaluate, maxCount);
  massBalanceVertices_.start(problem, startPoint_, componentCount_, model.Step);
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
