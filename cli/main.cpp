// tarvolin-run: one calculation run without a display, exactly as the desktop program's
// compute command makes it: "IN.IN" is written in the current folder and the driver of the
// chosen method reads it.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "cli/cli_options.h"
#include "cli/terminal_platform.h"
#include "model/model.h"
#include "run/compute_command.h"
#include "run/run_files.h"

using namespace tarvolin;

namespace {

constexpr int kExitUsage = 64;
constexpr int kExitCancelled = 130;  // as a shell reports a command ended by Ctrl-C

int exitStatus(RunStatus status, const Model& model) {
  switch (status) {
    case RunStatus::InputError: return 1;
    case RunStatus::CalculationFailure: return 2;
    case RunStatus::FileError: return 3;
    case RunStatus::Completed: break;
  }
  if (model.ReadError != 0) return 1;
  return model.RunIncomplete != 0 ? 2 : 0;
}

bool writeControlFile(const cli::Options& options) {
  TextWriter control;
  if (!control.create(kControlFileName)) return false;
  try {
    control.line(options.input).line(options.output);
    control.close();
  } catch (const IoError&) {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = cli::parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "tarvolin-run: %s\n\n%s", error.c_str(), cli::usageText().c_str());
    return kExitUsage;
  }
  if (options->help) {
    std::fputs(cli::usageText().c_str(), stdout);
    return 0;
  }
  if (options->version) {
    std::puts("tarvolin-run " TARVOLIN_VERSION);
    return 0;
  }

  // A run must never overwrite what it reads: the input, the work files, the plot files.
  if (const std::string conflict = runFileConflict(options->input, options->output);
      !conflict.empty()) {
    std::fprintf(stderr, "tarvolin-run: %s\n\n%s", conflict.c_str(), cli::usageText().c_str());
    return kExitUsage;
  }

  auto model = std::make_unique<Model>();
  model->FittingMethod = options->method;
  model->SingleStep = options->singleStep ? 1 : 0;
  model->FitOneByOne = options->oneByOne ? 1 : 0;
  model->DeltaRF = options->deltaRF;
  if (options->seed) {
    model->SeedGiven = 1;
    model->RandomSeed = *options->seed;
  }

  cli::TerminalPlatform platform;
  if (!writeControlFile(*options)) {
    platform.showMessage(MessageKind::Error, "Write into File",
                         std::string("Cannot create file '") + kControlFileName + "'",
                         MessageButtons::Ok);
    return 3;
  }
  const RunStatus status = runComputeCommand(*model, platform);
  platform.finishProgress();
  const int exit = exitStatus(status, *model);
  // A cancelled fit reports the values it reached; that it stopped early must not pass unseen.
  if (exit == 0 && model->CancelRequested) {
    std::fprintf(stderr,
                 "tarvolin-run: the fit was cancelled at iteration %s (value of fitted function "
                 "%s); the report holds the values reached there\n",
                 platform.lastIteration().c_str(), platform.lastValue().c_str());
    return kExitCancelled;
  }
  return exit;
}
