#include "run/compute_command.h"

#include <exception>

#include "base/floating_point.h"
#include "base/text_file.h"
#include "run/platform_recorder.h"

namespace tarvolin {

namespace {

const char* textFor(FloatingPointFault fault) {
  switch (fault) {
    case FloatingPointFault::Invalid: return "Invalid floating point operation at the calculations";
    case FloatingPointFault::DivideByZero: return "Divide by zero at the calculations";
    case FloatingPointFault::Overflow: return "Owerflow at the calculations";
    case FloatingPointFault::None: break;
  }
  return "External exception at the fitting";
}

RunStatus runUnderHandlers(Model& model, Platform& platform, RunResults* results) {
  const char* failure = nullptr;
  try {
    return runWithMethod(model.FittingMethod, model, platform, results);
  } catch (const FloatingPointError& error) {
    failure = textFor(error.fault());
  } catch (const std::exception&) {
    failure = "External exception at the fitting";
  }
  clearFloatingPointFlags();
  model.RunIncomplete = 1;
  platform.showMessage(MessageKind::Information, "Information", failure, MessageButtons::Ok);
  return RunStatus::CalculationFailure;
}

}  // namespace

RunStatus runComputeCommand(Model& model, Platform& platform, RunResults* results) {
  model.CancelRequested = 0;
  if (!results) return runUnderHandlers(model, platform, nullptr);

  results->method = model.FittingMethod;
  results->singleStep = model.SingleStep != 0;
  results->oneByOne = model.FitOneByOne != 0;
  results->deltaRF = model.DeltaRF;
  if (model.SeedGiven) results->seed = model.RandomSeed;
  PlatformRecorder recorder(platform);
  // A run that ends before its banner has no clock readings of its own.
  const ClockReading begun = platform.now();
  const RunStatus status = runUnderHandlers(model, recorder, results);
  if (!results->started) results->started = begun;
  if (!results->finished) results->finished = platform.now();
  results->exitStatus = runExitStatus(status, model);
  results->cancelled = model.CancelRequested != 0;
  if (results->exitStatus == kExitCancelled)
    results->message = "the fit was cancelled at iteration " + recorder.lastIteration +
                       " (value of fitted function " + recorder.lastValue +
                       "); the report holds the values reached there";
  else if (results->exitStatus != 0)
    results->message = recorder.lastMessage;
  return status;
}

int runExitStatus(RunStatus status, const Model& model) {
  switch (status) {
    case RunStatus::InputError: return 1;
    case RunStatus::CalculationFailure: return 2;
    case RunStatus::FileError: return 3;
    case RunStatus::Completed: break;
  }
  if (model.ReadError != 0) return 1;
  if (model.RunIncomplete != 0) return 2;
  return model.CancelRequested ? kExitCancelled : 0;
}

}  // namespace tarvolin
