#pragma once
// Table sizes of the system model. Readers reject input beyond them.

namespace tarvolin {

inline constexpr int kMaxReactants = 50;       // basic components
inline constexpr int kMaxSpecies = 100;        // species, the free basic components included
inline constexpr int kMaxBlocks = 100;         // blocks (data sets, titration curves)
inline constexpr int kMaxPoints = 3300;        // points of one block, and of all blocks together
inline constexpr int kMaxInputReagents = 50;   // input reagents
inline constexpr int kMaxFitted = 255;         // fitted parameters (the count is 8-bit)
inline constexpr int kMaxWordLength = 32;      // characters of one input word

}  // namespace tarvolin
