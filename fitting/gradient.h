#pragma once
// Gauss-Newton refinement of the fitted parameters: at each iteration the weighted Jacobian of
// the calculated property and the weighted residuals are built at every point, the columns
// are scaled to the norm of the smallest one, the scaled least-squares problem is solved by a
// singular value decomposition with singular values below 1e-14 of the largest dropped, and
// every parameter moves by Step times its correction. The iteration stops when Hamilton's
// R-factor changes by no more than 1 % between two iterations, or after 300 iterations.

#include <cstdint>

#include "base/real.h"
#include "engine/engine.h"
#include "model/limits.h"

namespace tarvolin {

inline constexpr int kMaxGradientIterations = 300;

// What the gradient method leaves for its report: the decomposition of the last iteration
// (V in rows 1..n, columns 1..n of engine.Jacobian; U^T r in its column n+1), the singular
// values W, the column scales D, the rank threshold and the rank kept at every correction.
struct GradientState {
  int iteration = 0;  // number of the last iteration; iteration - 1 corrections were made
  int n = 0;          // fitted parameters (columns) of the last iteration
  int m = 0;          // points (rows)
  Real S = 0;         // weighted sum of squared residuals of the last iteration
  Real rankThreshold = 0;
  std::uint8_t rank[kMaxGradientIterations + 1] = {};  // by iteration number
  Real W[kMaxFitted + 2] = {};           // singular values
  Real D[kMaxFitted + 2] = {};           // column scales of the Jacobian
  Real correction[kMaxFitted + 2] = {};  // work vector; then the correction; then projector rows
  // Columns of the last iteration that the data do not determine: their norm is below the
  // rank test's relative precision against the largest column, so they hold rounding noise
  // only (the derivative of a species that is absent everywhere, for one).
  bool undetermined[kMaxFitted + 2] = {};
};

// One gradient fit from the parameters in the model (RunIncomplete set by the caller).
void GradientIteration(Engine& engine, GradientState& state);

// The correction of iteration state.iteration from the decomposition in engine.Jacobian,
// applied to the model, with its diagnostics in the report.
void ParameterCorrection(Engine& engine, GradientState& state, int n);

}  // namespace tarvolin
