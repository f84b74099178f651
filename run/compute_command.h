#pragma once
// A compute command as the front ends give it: the driver of the chosen method, run under the
// handlers of the failures that leave the driver (a floating-point division by zero, a write
// error while the tables are written, anything else the system reports).

#include "base/platform.h"
#include "model/model.h"
#include "run/run_driver.h"
#include "run/run_results.h"

namespace tarvolin {

// Clears CancelRequested, runs the driver of model.FittingMethod and reports any failure that
// leaves it. The run's files are closed in every case. With a results record, it is filled with
// the run's options, its systems, its exit status and the last message shown.
RunStatus runComputeCommand(Model& model, Platform& platform, RunResults* results = nullptr);

// The status tarvolin-run exits with after a run: 0 done, 1 input error (the message names the
// line), 2 calculation failure, 3 a file that cannot be opened, created or written, 130 a fit
// cancelled by the user (its report holds the values reached).
int runExitStatus(RunStatus status, const Model& model);
inline constexpr int kExitCancelled = 130;  // as a shell reports a command ended by Ctrl-C

}  // namespace tarvolin
