#pragma once
// Command line of tarvolin-run.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvolin::cli {

struct Options {
  std::string input;
  std::string output;  // defaults to the input's name with the extension ".OUT"
  // A batch: several inputs, or --outdir; each input runs in a work folder of its own.
  bool batch = false;
  std::vector<std::string> inputs;
  std::string outdir;  // parent of the work folders; empty: each beside its input
  int jobs = 0;        // runs at a time; 0: one per core
  std::string json;    // the results document (of a batch: the batch document)
  std::uint8_t method = 2;  // simplex, the desktop program's default
  bool singleStep = false;
  bool oneByOne = false;
  float deltaRF = 1.0e-6f;
  std::optional<std::uint32_t> seed;  // Monte Carlo seed; the clock's when not given
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name; on a usage error returns nullopt and sets error.
// Two names are an input and its report when the second ends in ".OUT", is no existing file or
// is the input itself, and a batch of two inputs otherwise; three or more names are a batch.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error);

std::string usageText();

// The input's name with its extension replaced by ".OUT" (appended when it has none).
std::string defaultOutputName(const std::string& input);

}  // namespace tarvolin::cli
