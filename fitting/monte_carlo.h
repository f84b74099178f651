#pragma once
// Random search in shrinking boxes over the transformed parameter vector: each parameter's
// interval runs from its start value scaled by 1 - Step to the value scaled by 1 + Step; trial
// vectors are drawn uniformly in a box centred on the best vector so far and clipped to the
// intervals, the box halving every 200 trials, ten sizes in each of two passes: 3 + 2*10*200 =
// 4003 evaluations of the objective per search.

#include <cstdint>

#include "engine/engine.h"

namespace tarvolin {

inline constexpr int kMonteCarloPasses = 2;   // NI
inline constexpr int kMonteCarloSizes = 10;   // LI
inline constexpr int kMonteCarloTrials = 200;  // MI

// What persists between the searches of one calculated system.
struct MonteCarloState {
  std::uint8_t BoundaryFlag = 0;  // the last estimate lies within 10 % of an interval end
  std::uint8_t RepeatCount = 0;   // searches made for the current system
  std::int32_t TrialCount = 0;    // trials of the current search
  std::uint32_t Seed = 0;         // state of the random generator
};

// Linear congruential generator: seed := seed * 134775813 + 1 (mod 2^32), uniform = seed/2^32.
Real nextUniform(std::uint32_t& seed);

// On entry engine.x holds the packed start vector (packed with scale 1); on return x holds the
// best vector found, state.BoundaryFlag tells whether it lies near an interval end, and
// RunIncomplete is 0.
void MonteCarloSearch(Engine& engine, MonteCarloState& state);

}  // namespace tarvolin
