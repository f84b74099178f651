// tarvolin-run: one calculation run without a display, exactly as the desktop program's
// compute command makes it: "IN.IN" is written in the current folder and the driver of the
// chosen method reads it. Several inputs make a batch, each input run by a child process of
// this program in a work folder of its own.

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "cli/batch_runner.h"
#include "cli/cli_options.h"
#include "cli/terminal_platform.h"
#include "model/model.h"
#include "run/compute_command.h"
#include "run/results_json.h"
#include "run/run_files.h"

using namespace tarvolin;

namespace {

constexpr int kExitUsage = 64;
constexpr int kExitFile = 3;

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

int usageError(const std::string& text) {
  std::fprintf(stderr, "tarvolin-run: %s\n\n%s", text.c_str(), cli::usageText().c_str());
  return kExitUsage;
}

// The results document, when one is asked for; a document that cannot be written turns a clean
// run into a file failure.
int finish(const cli::Options& options, RunResults& results, int exit, Platform& platform) {
  results.exitStatus = exit;
  if (options.json.empty()) return exit;
  try {
    writeJsonFile(options.json, resultsDocument(results));
  } catch (const IoError& error) {
    platform.showMessage(MessageKind::Error, "Write into File",
                         "Cannot write file '" + error.path() + "': " + error.reason(),
                         MessageButtons::Ok);
    return exit == 0 ? kExitFile : exit;
  }
  return exit;
}

int runOne(const cli::Options& options) {
  if (!options.json.empty()) {
    if (const std::string conflict =
            resultsFileConflict(options.json, options.input, options.output);
        !conflict.empty())
      return usageError(conflict);
  }
  RunResults results;
  results.program = "tarvolin-run";
  results.input = options.input;
  results.output = options.output;
  results.method = options.method;
  results.singleStep = options.singleStep;
  results.oneByOne = options.oneByOne;
  results.deltaRF = options.deltaRF;
  results.seed = options.seed;

  cli::TerminalPlatform platform;
  // A run must never overwrite what it reads: the input, the work files, the plot files.
  if (const std::string conflict = runFileConflict(options.input, options.output);
      !conflict.empty()) {
    results.message = "tarvolin-run: " + conflict;
    usageError(conflict);
    return finish(options, results, kExitUsage, platform);
  }

  auto model = std::make_unique<Model>();
  model->FittingMethod = options.method;
  model->SingleStep = options.singleStep ? 1 : 0;
  model->FitOneByOne = options.oneByOne ? 1 : 0;
  model->DeltaRF = options.deltaRF;
  if (options.seed) {
    model->SeedGiven = 1;
    model->RandomSeed = *options.seed;
  }

  if (!writeControlFile(options)) {
    const std::string text = std::string("Cannot create file '") + kControlFileName + "'";
    platform.showMessage(MessageKind::Error, "Write into File", text, MessageButtons::Ok);
    results.message = "Write into File: " + text;
    return finish(options, results, kExitFile, platform);
  }
  runComputeCommand(*model, platform, &results);
  platform.finishProgress();
  // A cancelled fit reports the values it reached; that it stopped early must not pass unseen.
  if (results.exitStatus == kExitCancelled)
    std::fprintf(stderr, "tarvolin-run: %s\n", results.message.c_str());
  return finish(options, results, results.exitStatus, platform);
}

// This program's own file, which the batch starts once per input.
std::string programPath(const char* argv0) {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return argv0;
  path[length] = '\0';
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = cli::parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return usageError(error);
  if (options->help) {
    std::fputs(cli::usageText().c_str(), stdout);
    return 0;
  }
  if (options->version) {
    std::puts("tarvolin-run " TARVOLIN_VERSION);
    return 0;
  }
  if (options->batch) return cli::runBatch(*options, programPath(argv[0]));
  return runOne(*options);
}
