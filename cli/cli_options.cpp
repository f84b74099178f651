#include "cli/cli_options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace tarvolin::cli {

std::string usageText() {
  return "Usage: tarvolin-run [options] INPUT [OUTPUT]\n"
         "       tarvolin-run [options] [--outdir DIR] [-j N] INPUT...\n"
         "Fits the stability constants of the calculated systems in INPUT (*.DAT or *.SQD) and\n"
         "writes the report OUTPUT (default: INPUT with the extension .OUT), its plot data files,\n"
         "and the work files IN.IN, CURRENT.DA~, INIT_INP.TMP and CURRENT.OU~ in the current "
         "folder.\n"
         "With several inputs (or --outdir) each runs in a work folder of its own, named after\n"
         "the input without its extension, beside the input or in DIR; its report, plot files,\n"
         "results document NAME.json and messages NAME.log go there. One line per input tells\n"
         "how it ended; the exit status is the worst of all.\n"
         "\n"
         "Options:\n"
         "  --method gradient|simplex|montecarlo   fitting method (default simplex)\n"
         "  --single-step        compute once with the parameters as read, fit nothing\n"
         "  --one-by-one         fit the parameters one at a time, in cycles\n"
         "  --delta-rf X         end of the one-by-one cycles: change of the R-factor (1.0e-6)\n"
         "  --seed N             seed of the Monte Carlo search, for repeatable runs\n"
         "  --json FILE          write the results as JSON to FILE (several inputs: one batch\n"
         "                       document that holds every run's)\n"
         "  --outdir DIR         put the work folders of the inputs in DIR\n"
         "  -j N, --jobs N       run N inputs at a time (default: one per core)\n"
         "  --help               this text\n"
         "  --version            the program's version\n"
         "\n"
         "Exit status: 0 done, 1 input error, 2 calculation failure, 3 file cannot be opened,\n"
         "created or written, 64 usage error, 130 fit cancelled; above 128 also a run ended by\n"
         "a signal. Ctrl-C cancels a fit by any method at its next iteration (or trial): the\n"
         "report then holds the values reached and a line on stderr says where the fit stopped;\n"
         "a second Ctrl-C ends the program. In a batch Ctrl-C cancels every run under way and\n"
         "starts no other.\n";
}

std::string defaultOutputName(const std::string& input) {
  const auto slash = input.find_last_of('/');
  const auto dot = input.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return input + ".OUT";
  return input.substr(0, dot) + ".OUT";
}

namespace {

bool endsWithOut(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return tail == ".OUT";
}

// The second of two names is the report unless it names another existing file.
bool secondNameIsReport(const std::string& input, const std::string& second) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (endsWithOut(second) || !fs::is_regular_file(second, error)) return true;
  return fs::exists(input, error) && fs::equivalent(input, second, error);
}

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
    if (arg.rfind("-j", 0) == 0 && arg.size() > 2) {
      value = arg.substr(2);
      arg = "-j";
      hasValue = true;
    }
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
    } else if (arg == "--json" || arg == "--outdir") {
      if (!needValue()) return std::nullopt;
      if (value.empty()) {
        error = arg + " needs a name";
        return std::nullopt;
      }
      (arg == "--json" ? o.json : o.outdir) = value;
      if (arg == "--outdir") o.batch = true;
    } else if (arg == "-j" || arg == "--jobs") {
      if (!needValue()) return std::nullopt;
      char* end = nullptr;
      errno = 0;
      const long n = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || errno != 0 || n < 1 || n > 1024) {
        error = arg + " needs a whole number from 1 to 1024, not '" + value + "'";
        return std::nullopt;
      }
      o.jobs = static_cast<int>(n);
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  if (o.help || o.version) return o;
  if (positional.empty()) {
    error = "no input file given";
    return std::nullopt;
  }
  if (positional.size() > 2 ||
      (positional.size() == 2 && !secondNameIsReport(positional[0], positional[1])))
    o.batch = true;
  if (o.batch) {
    for (const std::string& name : positional) {
      if (endsWithOut(name)) {
        error = "'" + name +
                "' is a report name; with several inputs (or --outdir) each report is written "
                "in its input's work folder";
        return std::nullopt;
      }
    }
    o.inputs = positional;
    return o;
  }
  o.input = positional[0];
  o.output = positional.size() == 2 ? positional[1] : defaultOutputName(o.input);
  return o;
}

}  // namespace tarvolin::cli
