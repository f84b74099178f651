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
  std::uint8_t method = 2;  // simplex, the desktop program's default
  bool singleStep = false;
  bool oneByOne = false;
  float deltaRF = 1.0e-6f;
  std::optional<std::uint32_t> seed;  // Monte Carlo seed; the clock's when not given
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name; on a usage error returns nullopt and sets error.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error);

std::string usageText();

// The input's name with its extension replaced by ".OUT" (appended when it has none).
std::string defaultOutputName(const std::string& input);

}  // namespace tarvolin::cli
