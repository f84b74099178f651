#pragma once
// One calculation run: from the control file "IN.IN" to the report, the echo of the input, the
// plot data files and the fitted-model copy, for every calculated system of the input file.

#include "base/platform.h"
#include "model/model.h"
#include "run/run_results.h"

namespace tarvolin {

enum class RunStatus {
  Completed,           // every system read and fitted; ReadError and RunIncomplete are 0
  InputError,          // the input was refused with a message naming the line
  CalculationFailure,  // a floating-point or other failure ended the calculation
  FileError,           // a file of the run could not be opened or created
};

// The three drivers share one frame and differ in the method step and the method report step.
RunStatus GradientRun(Model& model, Platform& platform);
RunStatus SimplexRun(Model& model, Platform& platform);
RunStatus MonteCarloRun(Model& model, Platform& platform);

// The driver of a FittingMethodCode. With a results record, the driver fills the input and
// output names, the times and one SystemResults for every system it completes.
RunStatus runWithMethod(std::uint8_t fittingMethod, Model& model, Platform& platform,
                        RunResults* results = nullptr);

}  // namespace tarvolin
