#pragma once
// The one-by-one mode shared by the three fitting methods: the flagged additive values, lgBETA
// values and block parameters are refined one at a time, in cycles, until a cycle's last
// single-parameter run changes the total R-factor by no more than DeltaRF, or Cancel.

#include <functional>

#include "engine/engine.h"

namespace tarvolin {

// With fewer than two flagged parameters in the three groups, makes `ordinaryRun` once and
// returns their number. Otherwise runs `singleRun` with every key of the groups cleared but
// one, in the column order, cycle after cycle (engine.OneByOneCount counts the runs), then
// restores the keys (a key that was 1 becomes 1 again, every other key 0) and returns the
// number of parameters cycled.
int FitOneByOne(Engine& engine, const std::function<void()>& ordinaryRun,
                const std::function<void()>& singleRun);

}  // namespace tarvolin
