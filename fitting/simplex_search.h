#pragma once
// Nelder-Mead minimisation of the weighted sum of squared residuals over the transformed
// parameter vector x (x = asinh of each fitted value): a regular starting simplex of edge
// Step, reflection 1, expansion 2, contraction 0.5, shrink towards the best vertex. The
// iteration ends when the spread of the objective over the vertices around the centroid falls
// below Tolerance, after 400 iterations, or on Cancel; the result is the centroid of the last
// iteration.

#include "engine/engine.h"

namespace tarvolin {

inline constexpr int kMaxSimplexIterations = 400;

// On entry engine.x holds the packed start vector and model.NFit its length; on return x holds
// the result and RunIncomplete is 0.
void SimplexSearch(Engine& engine);

}  // namespace tarvolin
