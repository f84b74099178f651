#include "fitting/progress.h"

#include "base/number_format.h"

namespace tarvolin {

void processUserEvents(Engine& engine) {
  engine.platform.processPendingEvents();
  if (engine.platform.cancelRequested()) engine.model.CancelRequested = 1;
}

void showFitProgress(Engine& engine, long long counter, Real value) {
  if (engine.model.FitOneByOne) counter = engine.OneByOneCount;
  engine.FittedFunctionText = fmt::progressValue(value);
  if (engine.platform.hasProgressDisplay())
    engine.platform.showProgress(fmt::progressCounter(counter), engine.FittedFunctionText);
}

}  // namespace tarvolin
