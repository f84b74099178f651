#pragma once
// A batch of runs: every input is run by a child process of tarvolin-run in a work folder of
// its own, since a run keeps its work files (IN.IN, CURRENT.DA~, ...) in the current folder and
// two runs in one folder would overwrite each other's. N children run at a time; a failed input
// never stops the others; Ctrl-C cancels the runs under way (each writes its report with the
// values reached) and starts no other.

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace tarvolin::cli {

// Where one input of a batch runs and what it leaves there.
struct BatchJob {
  std::string input;   // as given
  std::string folder;  // the work folder
  std::string name;    // the input's name without its extension: NAME.OUT, NAME.json, NAME.log
};

// The work folder of each input: DIR/NAME with --outdir DIR, else NAME beside the input (NAME
// the input's file name without its extension; a name without one gets ".run" appended). Empty
// with `error` set when an input is given twice or two inputs would share a work folder.
std::optional<std::vector<BatchJob>> planBatch(const Options& options, std::string& error);

// The worst of two exit statuses: the larger, so that a cancelled or killed run (128 and
// more) outweighs a usage error (64), which outweighs a file failure (3), a calculation
// failure (2) and an input error (1).
int worseStatus(int a, int b);

// Runs the batch with `program` (this program's file) and returns the worst exit status.
int runBatch(const Options& options, const std::string& program);

}  // namespace tarvolin::cli
