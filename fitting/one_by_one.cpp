#include "fitting/one_by_one.h"

#include <cmath>
#include <vector>

#include "fitting/progress.h"

namespace tarvolin {

namespace {

// The keys of the three groups in column order: AV (blocks outer, species inner), lgBETA,
// block parameters. Purity keys are not part of the cycles.
std::vector<std::uint8_t*> groupKeys(Model& m) {
  std::vector<std::uint8_t*> keys;
  for (int b = 1; b <= m.NBlocks; ++b)
    for (int s = 1; s <= m.NSpecies; ++s) keys.push_back(&m.FitAV[s][b]);
  for (int s = 1; s <= m.NSpecies; ++s) keys.push_back(&m.FitBeta[s]);
  for (int b = 1; b <= m.NBlocks; ++b) keys.push_back(&m.FitBlock[b]);
  return keys;
}

}  // namespace

int FitOneByOne(Engine& engine, const std::function<void()>& ordinaryRun,
                const std::function<void()>& singleRun) {
  Model& m = engine.model;
  const std::vector<std::uint8_t*> keys = groupKeys(m);
  std::vector<std::uint8_t*> fitted;
  for (std::uint8_t* key : keys)
    if (*key == 1) fitted.push_back(key);
  const int count = static_cast<int>(fitted.size());
  engine.OneByOneCount = 0;
  if (count < 2) {
    ordinaryRun();
    return count;
  }

  Real R0 = 0;
  do {
    processUserEvents(engine);
    for (std::uint8_t* current : fitted) {
      for (std::uint8_t* key : keys) *key = 0;
      *current = 1;
      R0 = m.TotalRF;
      m.TotalRF = 0;
      m.RunIncomplete = 1;
      singleRun();
      ++engine.OneByOneCount;
    }
  } while (!m.CancelRequested && !(std::fabs(m.TotalRF - R0) <= m.DeltaRF));

  for (std::uint8_t* key : keys) *key = 0;
  for (std::uint8_t* key : fitted) *key = 1;
  return count;
}

}  // namespace tarvolin
