#include "cli/cli_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tarvolin::cli {

std::string usageText() {
  return "Usage: tarvolin-run [options] INPUT [OUTPUT]\n"
         "Fits the stability constants of the calculated systems in INPUT (*.DAT or *.SQD) and\n"
         "writes the report OUTPUT (default: INPUT with the extension .OUT), its plot data files,\n"
         "and the work files IN.IN, CURRENT.DA~, INIT_INP.TMP and CURRENT.OU~ in the current "
         "folder.\n"
         "\n"
         "Options:\n"
         "  --method gradient|simplex|montecarlo   fitting method (default simplex)\n"
         "  --single-step        compute once with the parameters as read, fit nothing\n"
         "  --one-by-one         fit the parameters one at a time, in cycles\n"
         "  --delta-rf X         end of the one-by-one cycles: change of the R-factor (1.0e-6)\n"
         "  --seed N             seed of the Monte Carlo search, for repeatable runs\n"
         "  --help               this text\n"
         "  --version            the program's version\n"
         "\n"
         "Exit status: 0 done, 1 input error, 2 calculation failure, 3 file cannot be opened,\n"
         "created or written, 64 usage error, 130 fit cancelled. Ctrl-C cancels a fit by any\n"
         "method at its next iteration (or trial): the report then holds the values reached and\n"
         "a line on stderr says where the fit stopped; a second Ctrl-C ends the program.\n";
}

std::string defaultOutputName(const std::string& input) {
  const auto slash = input.find_last_of('/');
  const auto dot = input.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return input + ".OUT";
  return input.substr(0, dot) + ".OUT";
}

namespace {

bool parseMethod(const std::string& name, std::uint8_t& method) {
  if (name == "gradient") method = 1;
  else if (name == "simplex") method = 2;
  else if (name == "montecarlo" || name == "monte-carlo") method = 3;
  else return false;
  return true;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error) {
  Options o;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::string value;
    bool hasValue = false;
    if (arg.rfind("--", 0) == 0) {
      if (const auto eq = arg.find('='); eq != std::string::npos) {
        value = arg.substr(eq + 1);
        arg.erase(eq);
        hasValue = true;
      }
    }
    auto needValue = [&]() -> bool {
      if (hasValue) return true;
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return false;
      }
      value = args[++i];
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--single-step") {
      o.singleStep = true;
    } else if (arg == "--one-by-one") {
      o.oneByOne = true;
    } else if (arg == "--method") {
      if (!needValue()) return std::nullopt;
      if (!parseMethod(value, o.method)) {
        error = "unknown method '" + value + "' (gradient, simplex or montecarlo)";
        return std::nullopt;
      }
    } else if (arg == "--delta-rf") {
      if (!needValue()) return std::nullopt;
      char* end = nullptr;
      errno = 0;
      const double x = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || errno != 0 || !std::isfinite(x) || x < 0) {
        error = "--delta-rf needs a non-negative number, not '" + value + "'";
        return std::nullopt;
      }
      o.deltaRF = static_cast<float>(x);
    } else if (arg == "--seed") {
      if (!needValue()) return std::nullopt;
      char* end = nullptr;
      errno = 0;
      const unsigned long long x = std::strtoull(value.c_str(), &end, 10);
      if (value.empty() || value[0] == '-' || *end != '\0' || errno != 0 || x > 0xFFFFFFFFull) {
        error = "--seed needs a whole number from 0 to 4294967295, not '" + value + "'";
        return std::nullopt;
      }
      o.seed = static_cast<std::uint32_t>(x);
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  if (o.help || o.version) return o;
  if (positional.empty() || positional.size() > 2) {
    error = positional.empty() ? "no input file given" : "too many file names";
    return std::nullopt;
  }
  o.input = positional[0];
  o.output = positional.size() == 2 ? positional[1] : defaultOutputName(o.input);
  return o;
}

}  // namespace tarvolin::cli
