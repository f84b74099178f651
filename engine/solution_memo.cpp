#include "engine/solution_memo.h"

#include <cmath>
#include <cstring>

namespace tarvolin {

namespace {

bool sameValue(Real a, Real b) { return a == b && std::signbit(a) == std::signbit(b); }

}  // namespace

void SolutionMemo::clear() {
  ++generation_;
  lgBETA_.clear();
  pointByTotals_.clear();
}

void SolutionMemo::track(const Model& m, int ns, std::uint8_t method,
                         std::uint64_t stoichiometryVersion) {
  bool same = method == method_ && stoichiometryVersion == stoichiometryVersion_ &&
              sameValue(m.Step, step_) && static_cast<int>(lgBETA_.size()) == ns + 1;
  for (int i = 1; i <= ns && same; ++i) same = sameValue(m.lgBETA[i], lgBETA_[i]);
  if (same) return;
  ++generation_;
  method_ = method;
  stoichiometryVersion_ = stoichiometryVersion;
  step_ = m.Step;
  lgBETA_.assign(m.lgBETA, m.lgBETA + ns + 1);
  pointByTotals_.clear();
}

// The ten significant bytes of each total (an extended real is padded to 16).
std::uint64_t SolutionMemo::key(int nb, const Real* Cbt) {
  std::uint64_t h = 1469598103934665603ull;
  for (int k = 1; k <= nb; ++k) {
    unsigned char bytes[10];
    std::memcpy(bytes, &Cbt[k], sizeof bytes);
    for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
  }
  return h;
}

bool SolutionMemo::holds(int p, int nb, const Real* Cbt) const {
  if (p < 1 || p > entryGeneration_.size() || entryGeneration_[p] != generation_) return false;
  const Real* row = entries_[p];
  for (int k = 1; k <= nb; ++k)
    if (!sameValue(row[k], Cbt[k])) return false;
  return true;
}

bool SolutionMemo::find(int p, int nb, int ns, const Real* Cbt, Real* LnFree, Real* C) const {
  if (p == 0) {
    const auto found = pointByTotals_.find(key(nb, Cbt));
    if (found == pointByTotals_.end()) return false;
    p = found->second;
  }
  if (!holds(p, nb, Cbt)) return false;
  const Real* row = entries_[p];
  for (int k = 1; k <= nb; ++k) LnFree[k] = row[nb + k];
  for (int i = 1; i <= ns; ++i) C[i] = row[2 * nb + i];
  return true;
}

void SolutionMemo::store(int p, int nb, int ns, const Real* Cbt, const Real* LnFree,
                         const Real* C) {
  if (p < 1) return;
  entryGeneration_.grow(p);
  entries_.grow(p, 2 * nb + ns);
  Real* row = entries_[p];
  for (int k = 1; k <= nb; ++k) {
    row[k] = Cbt[k];
    row[nb + k] = LnFree[k];
  }
  for (int i = 1; i <= ns; ++i) row[2 * nb + i] = C[i];
  entryGeneration_[p] = generation_;
  pointByTotals_[key(nb, Cbt)] = p;
}

}  // namespace tarvolin
