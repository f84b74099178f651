#pragma once
// What every clean read must leave in the model, for the robustness tests and the fuzz targets:
// each count and index within the tables it addresses. Header-only, so that the fuzz targets
// use it without the test framework.

#include <algorithm>
#include <string>

#include "model/limits.h"
#include "model/model.h"

namespace tarvolin::test {

// The first count or index found outside its table, or "" when all fit.
inline std::string tableBreach(const Model& m) {
  if (m.NReactants < 1 || m.NReactants > kMaxReactants) return "NReactants";
  if (m.NSpecies < 1 || m.NSpecies > kMaxSpecies) return "NSpecies";
  if (m.NBlocks < 1 || m.NBlocks > kMaxBlocks) return "NBlocks";
  if (m.NInputReagents > std::min<int>(m.NSpecies, kMaxInputReagents)) return "NInputReagents";
  for (int i = 1; i <= m.NInputReagents; ++i)
    if (m.ReagentSpecies[i] < 1 || m.ReagentSpecies[i] > m.NSpecies) return "ReagentSpecies";
  int total = 0;
  int fitted = 0;
  for (int b = 1; b <= m.NBlocks; ++b) {
    if (m.NPoints[b] < 1 || m.NPoints[b] > kMaxPoints) return "NPoints";
    total += m.NPoints[b];
    if (!isKnownMethod(m.Method[b])) return "Method";
    if ((m.Method[b] == 5 || m.Method[b] == 6) &&
        (m.InitReactants[b] > m.NReactants || m.InitSpecies[b] > m.NSpecies))
      return "InitReactants/InitSpecies";
    fitted += m.FitBlock[b] == 1;
    for (int s = 1; s <= m.NSpecies; ++s) fitted += m.FitAV[s][b] == 1;
  }
  if (total > kMaxPoints) return "total points";
  for (int s = 1; s <= m.NSpecies; ++s) fitted += m.FitBeta[s] == 1;
  for (int i = 1; i <= m.NInputReagents; ++i) fitted += m.FitPurity[i] == 1;
  if (fitted > kMaxFitted) return "fitted parameters";
  // A tied additive value (key 10k) must name one of the fitted parameters; 2..9 name none.
  for (int b = 1; b <= m.NBlocks; ++b)
    for (int s = 1; s <= m.NSpecies; ++s) {
      const int key = m.FitAV[s][b];
      if ((key >= 2 && key <= 9) || (key >= 10 && key / 10 > fitted)) return "FitAV key";
    }
  return "";
}

}  // namespace tarvolin::test
