#include "fitting/simplex_search.h"

#include <cmath>
#include <string>

#include "base/number_format.h"
#include "engine/nelder_mead.h"
#include "fitting/progress.h"
#include "fitting/vector_report.h"

namespace tarvolin {

namespace {

// The fitting problem as the shared Nelder-Mead core sees it: every trial point is written
// into x and the objective evaluated there, which leaves the model at that point.
class FitProblem {
 public:
  explicit FitProblem(Engine& engine) : engine_(engine), n_(engine.model.NFit) {}

  Real evaluate(const Real* point) {
    for (int j = 1; j <= n_; ++j) engine_.x[j] = point[j];
    return engine_.EvaluateObjective();
  }

  // Cancel is seen at the start of an iteration; x then holds the last point evaluated.
  bool beginIteration(int k) {
    iteration_ = k;
    processUserEvents(engine_);
    if (!engine_.model.CancelRequested) return true;
    writeSummary();
    return false;
  }

  bool endIteration(int k, const NelderMead& simplex) {
    const int c = simplex.centroidRow();
    Real sum = 0;
    for (int v = 1; v <= n_ + 1; ++v) {
      const Real d = simplex.value(v) - simplex.value(c);
      sum += d * d;
    }
    spread_ = std::sqrt(sum) / n_;
    best_ = simplex.bestValue();
    showFitProgress(engine_, k, best_);
    if (k == kMaxSimplexIterations || spread_ < engine_.model.Tolerance) {
      if (!engine_.model.FitOneByOne) writeSummary();
      return true;
    }
    return false;
  }

  // SimplexReport: the iteration, the best objective and the spread, and the fitted values.
  void writeSummary() {
    TextWriter& out = engine_.report;
    out.line("After iteration" + fmt::integer(iteration_, 5) + ":");
    out.line("  Fitted to ZERO Function = " + fmt::scientific(best_, 16) +
             "; Delta of Function=" + fmt::scientific(spread_, 16));
    out.line("  Optimized variables");
    writeFittedValues(out, engine_.x, n_);
  }

 private:
  Engine& engine_;
  int n_;
  int iteration_ = 1;
  Real best_ = 0;
  Real spread_ = 0;
};

void writeInitialBlock(Engine& engine, Real F0, int n) {
  TextWriter& out = engine.report;
  out.line("");
  out.line("Initial value of optimized function equals " + fmt::scientific(F0, 13));
  out.line("Initial values of fitted X(i), i=1,...," + fmt::integer(n, 2) + ":");
  writeFittedValues(out, engine.x, n);
  out.line("Parameters: step = " + fmt::scientific(engine.model.Step, 13) + ";");
  out.line("");
}

}  // namespace

void SimplexSearch(Engine& engine) {
  Model& m = engine.model;
  const int n = m.NFit;
  FitProblem problem(engine);
  const Real F0 = engine.EvaluateObjective();
  if (!m.FitOneByOne) writeInitialBlock(engine, F0, n);
  NelderMead simplex(n);
  Real start[kMaxFitted + 1];
  for (int j = 1; j <= n; ++j) start[j] = engine.x[j];
  simplex.start(problem, start, n, m.Step);
  simplex.iterate(problem);
  m.RunIncomplete = 0;
}

}  // namespace tarvolin
