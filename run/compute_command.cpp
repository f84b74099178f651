#include "run/compute_command.h"

#include <exception>

#include "base/floating_point.h"
#include "base/text_file.h"

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

}  // namespace

RunStatus runComputeCommand(Model& model, Platform& platform) {
  model.CancelRequested = 0;
  const char* failure = nullptr;
  try {
    return runWithMethod(model.FittingMethod, model, platform);
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

}  // namespace tarvolin
