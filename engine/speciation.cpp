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
// Newton cycles from which the iteration is watched for a cycle of states (see newtonRaphson).
constexpr int kFirstNewtonCheckpoint = 16;
// Longest Newton step in ln units: a factor of 2.2e4 in a free concentration per cycle.
constexpr Real kMaxNewtonStep = 10.0L;
constexpr int kGradientStartMaxCount = 10;  // nine simplex iterations
constexpr int kFallbackMaxCount = 300;      // 299 iterations
// Warm starts are used once the run's step is below this value.
constexpr Real kWarmStartStep = 0.17L;
// Below these bounds on the exponents of the species (C < e^2000 = 1e868) and on the totals,
// no term of the squared mass-balance residual comes near the overflow threshold of extended
// reals (1e4932): sum_i |a(i,k)| C(i) < 1e873, a residual below 1e2001, its square below 1e4003.
constexpr Real kSafeExponent = 2000.0L;
constexpr Real kSafeTotal = 1e2000L;
// Below this magnitude no product of a coefficient (|a| <= 127) and a coordinate, no sum of
// fifty of them and no lgBETA ln 10 can overflow: bounds on exponents formed from such values
// raise no fault flag themselves.
constexpr Real kSafeMagnitude = 1e4000L;

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
// evaluated point and C computed from it, which the next evaluation replaces; the value at a
// point depends on nothing else, so the simplex need not evaluate a point twice.
template <class Evaluate, class MayFail>
class MassBalanceProblem {
 public:
  static constexpr bool kRepeatable = true;

  MassBalanceProblem(Evaluate evaluate, MayFail mayFail, int maxCount)
      : evaluate_(evaluate), mayFail_(mayFail), maxCount_(maxCount) {}

  Real evaluate(const Real* point) { return evaluate_(point); }
  bool mayFailAt(const Real* point) { return mayFail_(point); }
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
  MayFail mayFail_;
  int maxCount_;
};

}  // namespace

Basis::Basis() { forgetExponents(); }

void Basis::forgetExponents(int first) {
  for (int i = first; i <= kMaxSpecies; ++i)
    lastExponent[i] = std::numeric_limits<Real>::quiet_NaN();
}

Engine::Engine(Model& m, Platform& p, TextWriter& r)
    : model(m), platform(p), report(r), LN10(std::log(10.0L)) {}

void Engine::startRun() {
  WarmStart = 0;
  MassBalanceNoticeShown = 0;
  LN10 = std::log(10.0L);
  MethodCode = model.FittingMethod;
  solutions_.clear();
}

BasisView Engine::mainView() {
  return {.nb = model.NReactants,
          .ns = model.NSpecies,
          .ct = &model.Ct,
          .basis = &main,
          .reduced = &reducedMain_,
          .noticeHeader = "=== CALC ==="};
}

BasisView Engine::beforeView() {
  return {.nb = model.ActiveReactants,
          .ns = model.ActiveSpecies,
          .ct = &model.CtBefore,
          .basis = &before,
          .reduced = &reducedBefore_,
          .noticeHeader = "=== CALCI ==="};
}

void Engine::CALC() { solve(mainView()); }
void Engine::CALCI() { solve(beforeView()); }

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
  for (int q = 1; q <= sys_->componentCount; ++q) {
    if (view.basis->Cbt[sys_->presentComponent[q]] == 0) return true;
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

// C(i) = exp( lgBETA(i) LN10 + sum_k a(i,k) LnFree(k) ) for the species that can form. A
// species whose exponent equals the one its C was last computed from keeps that C: the same
// argument gives the same result, and no fault (an infinite result is never kept).
void Engine::speciesConcentrations(const BasisView& view) {
  const ReducedSystem& r = *sys_;
  Basis& basis = *view.basis;
  const Real* LnFree = basis.LnFree;
  for (int f = 0; f < r.formedCount; ++f) {
    const int i = r.formedSpecies[f];
    Real sum = 0;
    for (int t = r.first[f]; t < r.first[f + 1]; ++t)
      addTerm(sum, r.stoich[t], r.coefficient[t], LnFree[r.component[t]]);
    const Real exponent = (lnBetaKept_ ? lnBeta_[i] : model.lgBETA[i] * LN10) + sum;
    if (exponent == basis.lastExponent[i]) continue;
    const Real Ci = std::exp(exponent);
    basis.C[i] = Ci;
    basis.lastExponent[i] = std::isfinite(Ci) ? exponent : std::numeric_limits<Real>::quiet_NaN();
  }
}

// componentSum_(q) = sum_i a(i,k) C(i) for the present component k of unknown q, its terms
// taken in the order of the species.
void Engine::componentSums(const Real* C) {
  const ReducedSystem& r = *sys_;
  const int* first = r.byComponentFirst.data();
  const std::uint8_t* species = r.byComponentSpecies.data();
  const std::int8_t* stoich = r.byComponentStoich.data();
  const Real* coefficient = r.byComponentCoefficient.data();
  for (int q = 1; q <= r.componentCount; ++q) {
    Real sum = 0;
    for (int t = first[q]; t < first[q + 1]; ++t)
      addTerm(sum, stoich[t], coefficient[t], C[species[t]]);
    componentSum_[q] = sum;
  }
}

// F = sum over the present k of ( Cbt(k) - sum_i a(i,k) C(i) )^2 at the current LnFree.
Real Engine::massBalanceResidualSquares(const BasisView& view) {
  speciesConcentrations(view);
  componentSums(view.basis->C);
  const Real* Cbt = view.basis->Cbt;
  Real F = 0;
  for (int q = 1; q <= sys_->componentCount; ++q) {
    const Real d = Cbt[sys_->presentComponent[q]] - componentSum_[q];
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
    basis.forgetExponents();
    return;
  }
  view.reduced->prepare(model, view.nb, view.ns, absent);
  sys_ = view.reduced;
  if (absent != 0) {
    for (int i = 1; i <= view.ns; ++i) {
      if (sys_->formed[i]) continue;
      basis.C[i] = 0;
      basis.lastExponent[i] = std::numeric_limits<Real>::quiet_NaN();
    }
    for (int k = 1; k <= view.nb; ++k) {
      if (absent & bit(k)) basis.LnFree[k] = -std::numeric_limits<Real>::infinity();
    }
    if (sys_->componentCount == 0) return;  // nothing in solution
  }
  // lgBETA(i) LN10 of the species that can form, the constant part of their exponents, formed
  // once for the solve; an lgBETA whose product could overflow is multiplied where it is used,
  // so that the fault is raised there, as always.
  lnBetaKept_ = true;
  for (int f = 0; f < sys_->formedCount; ++f) {
    const int i = sys_->formedSpecies[f];
    lnBetaKept_ = lnBetaKept_ && std::fabs(model.lgBETA[i]) <= kSafeMagnitude;
    lnBeta_[i] = lnBetaKept_ ? model.lgBETA[i] * LN10 : 0;
  }
  // A solve that starts from the totals gives what it gave before for the same point, totals
  // and parameters (see solution_memo.h).
  const bool fromTotals = MethodCode <= kGradient || WarmStart != -1 || !sameComponents;
  const bool kept = fromTotals && view.basis == &main;
  if (kept) {
    solutions_.track(model, view.ns, MethodCode, view.reduced->version());
    if (solutions_.find(model.CurrentPoint, view.nb, view.ns, basis.Cbt, basis.LnFree, basis.C)) {
      basis.forgetExponents();
      // A fault from before is reported where the solve would have tested first.
      throwOnFloatingPointFault();
      if (MethodCode > kGradient && model.Step < kWarmStartStep) WarmStart = -1;
      return;
    }
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
  if (kept)
    solutions_.store(model.CurrentPoint, view.nb, view.ns, basis.Cbt, basis.LnFree, basis.C);
}

// Start values from the totals of the present components, none of them zero:
// LnFree(k) = ln( Cbt(k) - 0.75 / S ), S = sum_k 1/Cbt(k), with 1/S formed as
// P / sum_k (P / Cbt(k)), P the product of the totals. A negative total can make the argument
// negative; the failed logarithm then ends the calculation.
void Engine::startFromTotals(const BasisView& view) {
  const Real* Cbt = view.basis->Cbt;
  Real* LnFree = view.basis->LnFree;
  const int n = sys_->componentCount;
  const std::uint8_t* present = sys_->presentComponent;
  Real P = 1.0L;
  for (int q = 1; q <= n; ++q) P *= Cbt[present[q]];
  Real sum = 0;
  for (int q = 1; q <= n; ++q) sum += P / Cbt[present[q]];
  const Real reciprocalS = P / sum;
  for (int q = 1; q <= n; ++q) {
    const int k = present[q];
    LnFree[k] = std::log(Cbt[k] - 0.75L * reciprocalS);
  }
  // A failed logarithm ends the calculation here, where it happened.
  throwOnFloatingPointFault();
}

// J(q,r) = sum_i a(i,k_q) a(i,k_r) C(i) over the formable species, for the unknowns q, r of the
// present components, each entry summed in the order of the species.
void Engine::buildNewtonMatrix(const Real* C) {
  const ReducedSystem& r = *sys_;
  const int size = r.componentCount * (r.componentCount + 1) / 2;
  const int* first = r.matrixFirst.data();
  const std::uint8_t* species = r.matrixSpecies.data();
  const int* product = r.matrixProduct.data();
  const Real* factor = r.matrixFactor.data();
  for (int t = 1; t <= size; ++t) {
    Real sum = 0;
    for (int e = first[t]; e < first[t + 1]; ++e)
      addTerm(sum, product[e], factor[e], C[species[e]]);
    NewtonMatrix[t] = sum;
  }
}

// Newton-Raphson on ln of the free concentrations of the n present components: each cycle
// solves
//   sum_l J(k,l) delta(l) = Cbt(k) - sum_i a(i,k) C(i)
// and adds delta to LnFree. Component k counts as converged when
// |delta(k)| <= 1e-18 n |LnFree(k)|; once all have converged in a cycle, the next cycle
// computes C from the final LnFree and returns.
//
// Everything a cycle does, and whether the next one finds convergence, depends on LnFree at
// its start alone. Where rounding keeps the steps above the test, LnFree runs through a short
// cycle of values (two to six cycles long) that repeats to the last cycle allowed: when the
// state at the start of a cycle equals that of a checkpoint (cycles 16, 32, 64, ...), a whole
// period has passed without convergence, a failed decomposition or a fault, and so would every
// later one. The iteration then ends as after its last cycle, with the notice and the
// fallback, which starts afresh from the totals.
void Engine::newtonRaphson(const BasisView& view) {
  const int n = sys_->componentCount;
  const std::uint8_t* component = sys_->presentComponent;
  Basis& basis = *view.basis;
  const Real tolerance = 1e-18L * n;
  int converged = 0;
  int checkpoint = kFirstNewtonCheckpoint;
  for (int cycle = 1; cycle <= kMaxNewtonCycles; ++cycle) {
    speciesConcentrations(view);
    // A diverging iteration overflows here first; it ends the calculation with that fault
    // rather than with the invalid operations that the infinities would cause next.
    throwOnFloatingPointFault();
    if (converged == n) return;
    if (cycle > kFirstNewtonCheckpoint && samePoint(basis.LnFree, newtonCheckpoint_)) break;
    if (cycle == checkpoint) {
      for (int q = 1; q <= n; ++q) newtonCheckpoint_[q] = basis.LnFree[component[q]];
      checkpoint *= 2;
    }
    componentSums(basis.C);
    for (int q = 1; q <= n; ++q) NewtonRhs[q] = basis.Cbt[component[q]] - componentSum_[q];
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

// LnFree of the present components equals the saved values, sign of a zero included.
bool Engine::samePoint(const Real* LnFree, const Real* saved) const {
  for (int q = 1; q <= sys_->componentCount; ++q) {
    const Real value = LnFree[sys_->presentComponent[q]];
    if (!(value == saved[q]) || std::signbit(value) != std::signbit(saved[q])) return false;
  }
  return true;
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
// Two and three unknowns, the most frequent cases (a ligand and the proton, a metal besides),
// are written out: the same operations as the loops below, whose sums start from +0 (so that
// a sum of no terms makes s = J - 0 = J, and a sum of squares 0 + x = x; a sum whose first
// term could be -0 keeps its 0 +).
bool Engine::choleskyDecompose(int n) {
  Real* J = NewtonMatrix;
  if (n == 2 || n == 3) {
    if (J[1] <= 0) return choleskyFails(1);
    J[1] = 1 / std::sqrt(J[1]);
    J[2] = J[2] * J[1];
    const Real s2 = J[3] - J[2] * J[2];
    if (s2 <= 0) return choleskyFails(2);
    J[3] = 1 / std::sqrt(s2);
    if (n == 2) return true;
    J[4] = J[4] * J[1];
    J[5] = (J[5] - (0 + J[4] * J[2])) * J[3];
    const Real s3 = J[6] - (J[4] * J[4] + J[5] * J[5]);
    if (s3 <= 0) return choleskyFails(3);
    J[6] = 1 / std::sqrt(s3);
    return true;
  }
  for (int k = 1; k <= n; ++k) {
    const int rowK = packed(k, 0);
    for (int l = 1; l <= k; ++l) {
      const int rowL = packed(l, 0);
      Real sum = 0;
      for (int t = 1; t < l; ++t) sum += J[rowK + t] * J[rowL + t];
      const Real s = J[rowK + l] - sum;
      if (l == k) {
        if (s <= 0) return choleskyFails(k);
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
  if (n == 2) {
    // The sums start from +0 as in the loops: 0 + x is not x when x is -0.
    r[1] = r[1] * J[1];
    r[2] = (r[2] - (0 + J[2] * r[1])) * J[3];
    r[2] = r[2] * J[3];
    r[1] = (r[1] - (0 + J[2] * r[2])) * J[1];
    return;
  }
  if (n == 3) {
    r[1] = r[1] * J[1];
    r[2] = (r[2] - (0 + J[2] * r[1])) * J[3];
    r[3] = (r[3] - ((0 + J[4] * r[1]) + J[5] * r[2])) * J[6];
    r[3] = r[3] * J[6];
    r[2] = (r[2] - (0 + J[5] * r[3])) * J[3];
    r[1] = (r[1] - ((0 + J[2] * r[2]) + J[4] * r[3])) * J[1];
    return;
  }
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
  for (int q = 1; q <= sys_->componentCount; ++q) LnFree[sys_->presentComponent[q]] = point[q];
  return massBalanceResidualSquares(view);
}

// False when an evaluation of F at the point cannot raise a fault: every exponent of a species
// (formed exactly as the evaluation forms it) is at most kSafeExponent and every total at most
// kSafeTotal (see there). A NaN exponent or total counts as a possible fault.
//
// First a bound from the largest coordinate: exponent(i) <= max lgBETA ln 10 + max_i sum_k
// |a(i,k)| max_k |x(k)|, up to a relative rounding of 1e-17 that the margin of 1 covers.
bool Engine::massBalanceMayFailAt(const BasisView&, const Real* point) const {
  if (!totalsBounded_ || !lnBetaKept_) return true;
  const ReducedSystem& r = *sys_;
  Real largest = 0;
  for (int q = 1; q <= r.componentCount; ++q) {
    const Real magnitude = std::fabs(point[q]);
    if (!(magnitude <= largest)) largest = magnitude;
  }
  if (!(largest <= kSafeMagnitude)) return true;
  if (exponentBound_ + coefficientBound_ * largest <= kSafeExponent - 1) return false;
  for (int f = 0; f < r.formedCount; ++f) {
    Real sum = 0;
    for (int t = r.first[f]; t < r.first[f + 1]; ++t)
      addTerm(sum, r.stoich[t], r.coefficient[t], point[r.unknown[t]]);
    const Real exponent = lnBeta_[r.formedSpecies[f]] + sum;
    if (!(exponent <= kSafeExponent)) return true;
  }
  return false;
}

// Minimises F over the LnFree of the present components from LnFree(k) = ln(0.214169 Cbt(k))
// (ln 1e-18 for a total that is not positive), in a starting simplex of edge Step. Leaves
// LnFree at the centroid of its last iteration and C computed from it.
void Engine::massBalanceSimplex(const BasisView& view, int maxCount) {
  computeTotals(view);
  const Real* Cbt = view.basis->Cbt;
  const int n = sys_->componentCount;
  totalsBounded_ = true;
  for (int q = 1; q <= n; ++q) {
    const int k = sys_->presentComponent[q];
    startPoint_[q] = Cbt[k] > 0 ? std::log(0.214169L * Cbt[k]) : std::log(1e-18L);
    totalsBounded_ = totalsBounded_ && std::fabs(Cbt[k]) <= kSafeTotal;
  }
  // The bounds of massBalanceMayFailAt: the largest lgBETA ln 10 and the largest sum of the
  // magnitudes of a species' coefficients.
  exponentBound_ = -kSafeMagnitude;
  coefficientBound_ = 0;
  for (int f = 0; f < sys_->formedCount && lnBetaKept_; ++f) {
    exponentBound_ = std::max(exponentBound_, lnBeta_[sys_->formedSpecies[f]]);
    Real magnitudes = 0;
    for (int t = sys_->first[f]; t < sys_->first[f + 1]; ++t)
      magnitudes += std::fabs(sys_->coefficient[t]);
    coefficientBound_ = std::max(coefficientBound_, magnitudes);
  }
  const Real F0 = guardedFirstEvaluation(view, startPoint_);
  auto evaluate = [this, &view](const Real* point) {
    const Real F = massBalanceAt(view, point);
    throwOnFloatingPointFault();
    return F;
  };
  auto mayFail = [this, &view](const Real* point) { return massBalanceMayFailAt(view, point); };
  MassBalanceProblem<decltype(evaluate), decltype(mayFail)> problem(evaluate, mayFail, maxCount);
  massBalanceVertices_.start(problem, startPoint_, n, model.Step, &F0);
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
