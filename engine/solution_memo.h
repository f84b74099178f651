#pragma once
// Solutions of the main basis that started from the totals (every point of the gradient
// method; every point of the other methods while the step keeps warm starts off). Such a
// solution is a function of its inputs alone: the totals Cbt, the lgBETA, the stoichiometry,
// the step (the edge of the mass-balance simplex) and the fitting method. The report's tables
// and plot files solve the points of the last evaluation once more with the same parameters;
// with the solution kept for each point they take it instead of solving again, to the last
// bit the same.
//
// An entry is used only when the totals are bit for bit those it was solved for and the
// parameters are still those of its time; any change of lgBETA, Step, method or stoichiometry
// starts a new generation in which no earlier entry counts.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/real.h"
#include "model/model.h"
#include "model/table.h"

namespace tarvolin {

class SolutionMemo {
 public:
  // Forgets every entry (a new run or system).
  void clear();
  // The parameters the next solve is made with; a change from the last ones starts a new
  // generation.
  void track(const Model& m, int ns, std::uint8_t method, std::uint64_t stoichiometryVersion);
  // The kept solution of point p with these totals (Cbt[1..nb]), or for p = 0 (the scratch
  // point of interpolated totals) of any point with these totals: copies its LnFree[1..nb]
  // and C[1..ns] and returns true.
  bool find(int p, int nb, int ns, const Real* Cbt, Real* LnFree, Real* C) const;
  // Keeps the solution of point p >= 1.
  void store(int p, int nb, int ns, const Real* Cbt, const Real* LnFree, const Real* C);

 private:
  bool holds(int p, int nb, const Real* Cbt) const;
  static std::uint64_t key(int nb, const Real* Cbt);

  std::uint64_t generation_ = 1;
  // The parameters of the generation.
  std::vector<Real> lgBETA_;
  Real step_ = 0;
  std::uint8_t method_ = 0;
  std::uint64_t stoichiometryVersion_ = 0;
  // By point: the generation of its entry (0: none), then Cbt, LnFree and C in one row.
  Column<std::uint64_t> entryGeneration_;
  Table<Real> entries_;
  // Points of the generation by their totals.
  std::unordered_map<std::uint64_t, int> pointByTotals_;
};

}  // namespace tarvolin
