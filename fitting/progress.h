#pragma once
// The fitting loops' contact with the user: pending events are processed where a loop yields
// (so the progress display repaints and Cancel can arrive), and each iteration or trial shows
// its counter and the objective.

#include "base/real.h"
#include "engine/engine.h"

namespace tarvolin {

// Lets the front end handle what the user did; a Cancel request sets CancelRequested.
void processUserEvents(Engine& engine);

// Shows the counter (the one-by-one counter instead in the one-by-one mode) formatted with "0"
// and the objective formatted with "0.000E+00"; the value text is kept for the report's
// one-by-one lines.
void showFitProgress(Engine& engine, long long counter, Real value);

}  // namespace tarvolin
