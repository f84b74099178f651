#pragma once
// A compute command as the front ends give it: the driver of the chosen method, run under the
// handlers of the failures that leave the driver (a floating-point division by zero, a write
// error while the tables are written, anything else the system reports).

#include "base/platform.h"
#include "model/model.h"
#include "run/run_driver.h"

namespace tarvolin {

// Clears CancelRequested, runs the driver of model.FittingMethod and reports any failure that
// leaves it. The run's files are closed in every case.
RunStatus runComputeCommand(Model& model, Platform& platform);

}  // namespace tarvolin
