#pragma once
// The equilibrium engine of one run: speciation at every point, the calculated property of
// each experimental method, the objective and the parameter vector, the Jacobian rows and the
// error statistics of the fitted parameters.
//
// One Engine is created by the run driver for a run and works on the run's one model. Its
// storage is allocated when it is built or, where it grows with the system (the Jacobian of
// points by fitted parameters and V), when a system first needs it, so that solving a point
// allocates nothing. All arithmetic is in 80-bit
// extended precision; the order of the sums follows the formulas written next to each step,
// because the reports print digits that depend on it.
//
// Floating-point failures are detected from the status flags, not trapped: the engine tests
// them after each point it computes (and around the one guarded evaluation of the
// mass-balance simplex) and turns a raised invalid-operation, division-by-zero or overflow
// flag into a FloatingPointError, so that a NaN or an infinity never reaches a report.

#include <cstdint>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/real.h"
#include "base/text_file.h"
#include "engine/nelder_mead.h"
#include "engine/real_matrix.h"
#include "engine/reduced_system.h"
#include "engine/solution_memo.h"
#include "model/limits.h"
#include "model/model.h"

namespace tarvolin {

// Most columns of the statistics' Jacobian, and most rows of it (the points of a system).
inline constexpr int kMaxJacobianColumns = 600;
inline constexpr int kMaxJacobianRows = kMaxPoints;
// Packed lower triangle of the Newton matrix: row k holds columns 1..k.
inline constexpr int kPackedNewtonSize = kMaxReactants * (kMaxReactants + 1) / 2;

// The speciation of one basis at the current point.
struct Basis {
  Basis();

  Real Cbt[kMaxReactants + 1] = {};     // total concentration of each basic component, mol/l
  Real LnFree[kMaxReactants + 1] = {};  // ln of the free concentration of each basic component
  Real C[kMaxSpecies + 1] = {};         // equilibrium concentration of each species, mol/l
  // Bit k: basic component k is absent at the point (zero total, held by no formable species
  // with a negative coefficient); its free concentration and its species are exactly 0 and
  // its LnFree is -infinity.
  std::uint64_t Absent = 0;

  // The exponent x of which C(i) is the finite exp(x), or NaN when C(i) was set otherwise: a
  // species whose exponent is the same as at its last computation (its components did not
  // move, or the previous point ended where this one starts) keeps its C instead of a new exp.
  Real lastExponent[kMaxSpecies + 1];
  // C(i) set otherwise than as exp(lastExponent(i)): from `first` on.
  void forgetExponents(int first = 1);
};
static_assert(kMaxReactants < 64, "one bit per basic component");

// What distinguishes the two speciation entry points: the main basis (all basic components
// and species, totals from Ct) and the basis of the state before an addition in increment
// mode (the leading ActiveReactants components and ActiveSpecies species, totals from
// CtBefore).
struct BasisView {
  int nb;                                   // basic components solved for
  int ns;                                   // species formed
  const Table<Real>* ct;                    // totals of the input reagents, [point][reagent]
  Basis* basis;
  ReducedSystem* reduced;    // the system solved, kept for this basis
  const char* noticeHeader;  // first line of the fallback notice
};

class Engine {
 public:
  Engine(Model& model, Platform& platform, TextWriter& report);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The engine part of a run's reset: warm starts off, the fallback notice re-armed, LN10
  // stored and the fitting method's code taken from the run options.
  void startRun();

  // ---- Speciation -------------------------------------------------------------------------
  // Solves the mass balances at model.CurrentPoint on the main basis (CALC) or on the basis
  // before the addition (CALCI; model.ActiveReactants and model.ActiveSpecies set by the
  // caller). Writes Cbt, LnFree, C and Absent of that basis.
  void CALC();
  void CALCI();
  // Solves J delta = r for the packed symmetric matrix NewtonMatrix and the right-hand side
  // NewtonRhs (n unknowns) by an LL^T decomposition in place; the solution replaces NewtonRhs.
  // IERR is 0 on success and non-zero when J is not positive definite (n > 1).
  void CholeskySolve(int n);

  // ---- Calculated properties and objective -----------------------------------------------
  // The block's calculated value from the last CALC at model.CurrentPoint.
  Real BlockValue(int b) const;
  // The calculated value of the state before the addition, from the last CALCI.
  Real BeforeValue(int b) const;
  // Solves point p of block b and sets Ycalc(p): the block value, for method 1 turned into
  // -BlockFactor lg Y, and in increment mode less the value before the addition. Returns the
  // block value Y (before the method-1 transformation), which the Jacobian row needs. Points
  // are taken in order within a block: the basis before the addition changes at the block's
  // first and second point. A floating-point fault of the point throws FloatingPointError.
  Real CalculatePoint(int b, int p);
  // Unpacks x into the model, solves every point, sets Ycalc, RF, TotalRF, PreviousRF and
  // Objective, and returns Objective.
  Real EvaluateObjective();
  // Parameter vector x[1..NFit]: x = asinh(ParamScale v) on packing, v = sinh(x) on unpacking.
  void PackParameters();
  void UnpackParameters();

  // ---- Jacobian and statistics -----------------------------------------------------------
  // Columns of the Jacobian: fitted additive values (blocks outer, species inner), fitted
  // lgBETA, fitted block parameters (Fo, or a in a method-1 block). Purities have none.
  int JacobianColumnCount() const;
  // Row of point p of block b, right after CalculatePoint(b, p) returned Y: row[1..count] gets
  // the derivatives of sqrt(BlockWeight) Ycalc(p) with respect to each column's parameter.
  // Returns the column count. Also the gradient method's row: it passes its own storage row,
  // which must hold JacobianColumnCount() + 1 values.
  int JacobianRow(int b, int p, Real Y, Real* row);
  // Standard deviations and correlations of the fitted parameters after a simplex or Monte
  // Carlo fit: writes its section of the report and leaves sd[1..NJAC].
  void ErrorStatistics();
  // Grows the Jacobian to at least rows x columns; the gradient method builds its Jacobian in
  // the same storage as the statistics.
  void reserveJacobian(int rows, int columns);

  Model& model;
  Platform& platform;
  TextWriter& report;

  // ---- Run state of the speciation solver ------------------------------------------------
  Basis main;    // CALC
  Basis before;  // CALCI
  // 0: the next call starts from the totals; -1: it starts from the LnFree of the last call.
  std::int32_t WarmStart = 0;
  std::uint8_t MassBalanceNoticeShown = 0;
  // Failure code of the linear solvers and decompositions; 0 on success.
  std::uint8_t IERR = 0;
  Real LN10;
  // Fitting method of the run (1 gradient, 2 simplex, 3 Monte Carlo): decides the start values.
  std::uint8_t MethodCode = kSimplex;
  // Newton matrix J(k,l), l <= k, at NewtonMatrix[k(k-1)/2 + l]; right-hand side / solution.
  Real NewtonMatrix[kPackedNewtonSize + 1] = {};
  Real NewtonRhs[kMaxReactants + 1] = {};

  // ---- Parameter vector ------------------------------------------------------------------
  Real x[kMaxFitted + 1] = {};
  Real ParamScale = 1;
  // Evaluations of the objective since the engine was built (searches are budgeted in them).
  long long ObjectiveEvaluations = 0;

  // ---- Statistics ------------------------------------------------------------------------
  int NJAC = 0;
  int Rank = 0;
  Real sd[kMaxJacobianColumns + 1] = {};  // standard deviation of each Jacobian column's parameter
  // The correlation coefficients the statistics printed, R(j,l) for l <= j row after row;
  // empty when none were computed.
  std::vector<Real> Correlation;
  Real w[kMaxJacobianColumns + 1] = {};   // singular values of the Jacobian
  RealMatrix Jacobian;  // points x (columns + 1) as the system needs; then the covariance
  RealMatrix V;         // right singular vectors

  // One-by-one record of the run, set by the fitting methods and printed by the statistics.
  std::int32_t OneByOneCount = 0;
  std::string FittedFunctionText;

 private:
  void solve(const BasisView& view);
  void computeTotals(const BasisView& view);
  std::uint64_t absentComponents(const BasisView& view) const;
  bool holdsAny(int i, std::uint64_t components, int nb) const;
  bool zeroTotalPresent(const BasisView& view) const;
  void startFromTotals(const BasisView& view);
  void speciesConcentrations(const BasisView& view);
  void componentSums(const Real* C);
  Real massBalanceResidualSquares(const BasisView& view);
  Real massBalanceAt(const BasisView& view, const Real* point);
  bool massBalanceMayFailAt(const BasisView& view, const Real* point) const;
  void newtonRaphson(const BasisView& view);
  bool samePoint(const Real* LnFree, const Real* saved) const;
  void buildNewtonMatrix(const Real* C);
  void massBalanceSimplex(const BasisView& view, int maxCount);
  Real guardedFirstEvaluation(const BasisView& view, const Real* x0);
  void notConsistentNotice(const BasisView& view, int cycle);
  void notConvergedNotice(const BasisView& view, int cycle);
  BasisView mainView();
  BasisView beforeView();

  bool choleskyDecompose(int n);
  bool choleskyFails(int k) {
    IERR = static_cast<std::uint8_t>(k);
    return false;
  }
  void choleskySubstitute(int n);

  Real blockSum(int b) const;
  bool prepareLinearisedMassBalance(int nb, int ns, const Basis& basis, ReducedSystem& reduced);
  Real lgBetaDerivative(int b, int i, const Real* C, Real f, Real g, bool logarithmic);
  void singularJacobianNotice(int i, int ns);
  void walkParameters(bool unpack);
  void writeStatistics(Real SS, int N);

  // The system solved at the point on each basis (see reduced_system.h), and the one that the
  // speciation and the linearised mass balance of the moment work on.
  ReducedSystem reducedMain_;
  ReducedSystem reducedBefore_;
  const ReducedSystem* sys_ = &reducedMain_;
  // Solutions of the main basis that started from the totals, by point.
  SolutionMemo solutions_;

  Real componentSum_[kMaxReactants + 1] = {};  // by unknown
  Real lnBeta_[kMaxSpecies + 1] = {};          // lgBETA(i) LN10 during a solve
  bool lnBetaKept_ = false;                    // lnBeta_ holds them (no lgBETA out of range)
  Real exponentBound_ = 0;                     // see massBalanceMayFailAt
  Real coefficientBound_ = 0;
  Real startPoint_[kMaxReactants + 1] = {};
  Real newtonCheckpoint_[kMaxReactants + 1] = {};
  // |Cbt| of the present components is small enough for a residual that cannot overflow.
  bool totalsBounded_ = true;
  NelderMead massBalanceVertices_;
};

}  // namespace tarvolin
