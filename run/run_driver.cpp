#include "run/run_driver.h"

#include <exception>
#include <optional>
#include <string>

#include "base/floating_point.h"
#include "base/number_format.h"
#include "engine/calculation_aborted.h"
#include "engine/engine.h"
#include "fitting/gradient.h"
#include "fitting/monte_carlo.h"
#include "fitting/simplex_search.h"
#include "fitting/one_by_one.h"
#include "model/dat_reader.h"
#include "model/input_messages.h"
#include "model/numeric_words.h"
#include "model/superquad_reader.h"
#include "run/fitted_data_writer.h"
#include "run/platform_recorder.h"
#include "run/report_writer.h"
#include "run/run_clock.h"
#include "run/run_files.h"

namespace tarvolin {

namespace {

const char* const kInformation = "Information";

// What distinguishes the three drivers.
struct MethodSteps {
  std::uint8_t code;
  const char* bannerLine;
  const char* invalidOperationText;  // first text of the fitting failure handlers
};

const MethodSteps kGradientSteps{kGradient, "                           Fitting method: Gradient",
                                 "Try another algorithm, please"};
const MethodSteps kSimplexSteps{kSimplex, "                           Fitting method: Simplex",
                                "Try another algorithm, please"};
const MethodSteps kMonteCarloSteps{kMonteCarlo,
                                   "                         Fitting method: Monte-Carlo",
                                   "Change input data or Try another algorithm, please"};

// The run frame shared by the three drivers.
class RunDriver {
 public:
  RunDriver(const MethodSteps& steps, Model& model, Platform& platform, RunResults* results)
      : steps_(steps), m_(model), platform_(platform), recorder_(platform), results_(results) {}

  RunStatus run();

 private:
  void resetRunState();
  bool readControlFile(std::string& inputName, std::string& outputName);
  bool copyInput(const std::string& inputName);
  bool openOutputFiles(const std::string& outputName);
  bool probe(TextWriter& file, const std::string& name, const char* probeLine,
             const char* caption);
  void writeBanner(const ClockReading& start);
  bool readSystemCount();
  void startSystem();
  RunStatus runSystem(int s);
  bool readSystem();
  template <class Step>
  bool underFittingHandlers(Step step);
  void methodStep();
  void gradientStep();
  void searchStep();
  void search();
  void monteCarloRepeats();
  void packWithUnitScale();
  bool reportStep(SystemResults* record);
  void startRecord(SystemResults& record, int s) const;
  void finishRecord(SystemResults& record) const;
  bool fittedValuesPrintable();
  void writeClosingLines(const ClockReading& start);
  RunStatus writeRun();
  RunStatus writeFailed(const IoError& error);

  void fileMessage(const std::string& text, const char* caption);
  void information(const std::string& text);
  RunStatus endEarly(RunStatus status);

  const MethodSteps& steps_;
  Model& m_;
  Platform& platform_;
  PlatformRecorder recorder_;  // the engine's platform: counts the fit's progress reports
  RunResults* results_;        // filled when the caller wants the results as data
  RunFiles files_;
  std::unique_ptr<Engine> engine_;
  GradientState gradient_;
  MonteCarloState monteCarlo_;
  int oneByOneParameters_ = 0;  // parameters the one-by-one mode cycled (0: it made no cycles)
  // Work of the current system's fit, for its record.
  long long searches_ = 0;
  long long trials_ = 0;
  std::optional<long long> oneByOneRuns_;
};

void RunDriver::resetRunState() {
  m_.NFit = 0;
  m_.TotalRF = 0;
  m_.ReadError = 0;
  m_.InputErrorLine = 0;
  // A run counts as incomplete until it has read and fitted its systems, so that a run that
  // fails before reading never passes for a clean one.
  m_.RunIncomplete = 1;
  m_.FittingMethod = steps_.code;
  clearFloatingPointFlags();
}

void RunDriver::fileMessage(const std::string& text, const char* caption) {
  platform_.showMessage(MessageKind::Error, caption, text, MessageButtons::Ok);
}

void RunDriver::information(const std::string& text) {
  platform_.showMessage(MessageKind::Information, kInformation, text, MessageButtons::Ok);
}

RunStatus RunDriver::endEarly(RunStatus status) {
  files_.closeAll();
  return status;
}

bool RunDriver::readControlFile(std::string& inputName, std::string& outputName) {
  std::string content;
  if (!readWholeFile(kControlFileName, content)) {
    fileMessage(std::string("Cannot find file '") + kControlFileName + "'", "Open File");
    return false;
  }
  const auto lines = splitLines(content);
  inputName = lines.size() > 0 ? lines[0] : "";
  outputName = lines.size() > 1 ? lines[1] : "";
  return true;
}

// The readers read a copy of the input in which every line is cut before its first "/", the
// start of a comment. In DAT input trailing blanks are dropped as well: a system's last value
// must end its line, or the next system's title would be misread.
bool RunDriver::copyInput(const std::string& inputName) {
  std::string content;
  if (!readWholeFile(inputName, content)) {
    fileMessage("Cannot open file '" + inputName + "'", "Open File");
    return false;
  }
  dropByteOrderMark(content);
  std::string copy;
  for (std::string line : splitLines(content)) {
    if (const auto slash = line.find('/'); slash != std::string::npos) line.erase(slash);
    // Card files are fixed-column: there a blank inside a field is part of the card.
    if (!m_.InputIsSuperquad)
      while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    copy += line + "\r\n";
  }
  TextWriter writer;
  bool written = writer.create(kInputCopyName);
  if (written) {
    try {
      writer.write(copy);
      writer.close();
    } catch (const IoError&) {
      written = false;
    }
  }
  if (!written) {
    fileMessage(std::string("Cannot create file '") + kInputCopyName + "'", "Read/Write File");
    return false;
  }
  files_.input = std::make_unique<InputText>(std::move(copy));
  return true;
}

// Each output file is created once with a probe line, tested for existence and created empty
// again, so that a folder without write access is reported before any work is done.
bool RunDriver::probe(TextWriter& file, const std::string& name, const char* probeLine,
                      const char* caption) {
  bool ok = file.create(name);
  if (ok) {
    try {
      file.line(probeLine);
      file.close();
    } catch (const IoError&) {
      ok = false;
    }
  }
  ok = ok && fileCanBeOpened(name) && file.create(name);
  if (!ok) fileMessage("Cannot create file '" + name + "'", caption);
  return ok;
}

bool RunDriver::openOutputFiles(const std::string& outputName) {
  files_.outputName = outputName;
  files_.plotBase = plotFileBase(outputName);
  const std::string& base = files_.plotBase;
  return probe(files_.report, outputName, "Start OUT File!", "Write into File") &&
         probe(files_.pfp, base + ".PFP", "Start PFP File!", "Write into File") &&
         probe(files_.ttc, base + ".TTC", "Start TTC File!", "Write into File") &&
         probe(files_.rac, base + ".RAC", "Start RAC File!", "Write into File") &&
         probe(files_.echo, kEchoFileName, "Start INIT.INP.TMP File!", "Read/Write File") &&
         probe(files_.fitted, kFittedDataName, "Start CURRENT.OU~ File!", "Read/Write File");
}

void RunDriver::writeBanner(const ClockReading& start) {
  TextWriter& out = files_.report;
  out.line("                              ***  Tarvolin  ***");
  out.line("                The calculation of equilibrium constants and");
  out.line("                   related values from experimental data.");
  out.line(steps_.bannerLine);
  out.line("                " + bannerDate(start));
  out.line("                " + clockText(start));
  out.line("");
}

bool RunDriver::readSystemCount() {
  InputText& in = *files_.input;
  if (m_.InputIsSuperquad) {
    m_.NSystems = 1;
    return true;
  }
  std::string first;
  in.readLine(first);
  // The count is right-aligned in the files the program writes itself.
  while (!first.empty() && first.back() == ' ') first.pop_back();
  first.erase(0, first.find_first_not_of(" \t"));
  ++in.line;
  long long count = 0;
  if (!parseIntegerWord(first, count) || count < 0 || count > 65535) {
    InputErrorDetail detail;
    detail.code = kBadNumber;
    detail.line = 1;
    ShowInputError(detail, m_, platform_);
    m_.InputErrorLine = 1;
    return false;
  }
  if (count == 0) {
    InputErrorDetail detail;
    detail.code = kNoSystems;
    detail.line = 1;
    ShowInputError(detail, m_, platform_);
    m_.InputErrorLine = 1;
    return false;
  }
  m_.NSystems = static_cast<std::uint16_t>(count);
  files_.echo.line(fmt::integer(count));
  return true;
}

// Reading, under the input failure handlers.
bool RunDriver::readSystem() {
  m_.RunIncomplete = 1;
  try {
    clearFloatingPointFlags();
    if (m_.InputIsSuperquad)
      ReadSuperquad(m_, *files_.input, files_.echo, platform_);
    else
      ReadDatSystem(m_, *files_.input, files_.echo, platform_);
    throwOnFloatingPointFault();
  } catch (const FloatingPointError& error) {
    if (error.fault() == FloatingPointFault::DivideByZero) throw;
    information(error.fault() == FloatingPointFault::Overflow
                    ? "Owerflow at input: Look at input file"
                    : "Input error: Look at input file");
    return false;
  } catch (const std::bad_alloc&) {
    information("External exception at the fitting");
    return false;
  }
  if (m_.ReadError == 0 && m_.RunIncomplete == 0) return true;
  // The line counter: the card being read, or the line a DAT message reports (the word it
  // stopped at is there or on the next line).
  if (m_.ReadError != 0) m_.InputErrorLine = files_.input->line;
  return false;
}

// Runs a step under the fitting failure handlers: an invalid operation, an overflow or a
// write error ends the run with the method's message; a division by zero goes on to the
// compute command.
template <class Step>
bool RunDriver::underFittingHandlers(Step step) {
  try {
    clearFloatingPointFlags();
    step();
    throwOnFloatingPointFault();
  } catch (const FloatingPointError& error) {
    if (error.fault() == FloatingPointFault::DivideByZero) throw;
    information(error.fault() == FloatingPointFault::Overflow
                    ? "Owerflow: Try another algorithm, please"
                    : steps_.invalidOperationText);
    return false;
  } catch (const std::bad_alloc&) {
    information("External exception at the fitting");
    return false;
  }
  return true;
}

void RunDriver::methodStep() {
  oneByOneParameters_ = 0;
  if (steps_.code == kGradient)
    gradientStep();
  else
    searchStep();
}

// Purities are not refined by the gradient method.
void RunDriver::gradientStep() {
  for (int j = 1; j <= m_.NInputReagents; ++j) m_.FitPurity[j] = 0;
  auto iterate = [this] { GradientIteration(*engine_, gradient_); };
  if (m_.FitOneByOne) {
    const int cycled = FitOneByOne(
        *engine_, [&] {
          m_.RunIncomplete = 1;
          iterate();
        },
        iterate);
    if (cycled >= 2) {
      oneByOneParameters_ = cycled;
      oneByOneRuns_ = engine_->OneByOneCount;
    }
  } else {
    m_.RunIncomplete = 1;
    iterate();
  }
}

void RunDriver::packWithUnitScale() {
  engine_->ParamScale = 1;
  engine_->PackParameters();
}

// One search of the run's method from the packed vector x. The search leaves its result in x
// (the last centroid of the simplex, the best trial of Monte Carlo); the model holds whatever
// vector was evaluated last, for Monte Carlo a random trial. Unpacking x puts the result into
// the model, so that the report, the tables, the plot files and the fitted copy show it.
void RunDriver::search() {
  ++searches_;
  if (steps_.code == kMonteCarlo) {
    MonteCarloSearch(*engine_, monteCarlo_);
    trials_ += monteCarlo_.TrialCount;
  } else {
    SimplexSearch(*engine_);
  }
  engine_->UnpackParameters();
}

// Simplex and Monte Carlo move the packed parameter vector. In the one-by-one mode each
// single-parameter search starts from the vector packed afresh and leaves its result in the
// model; the purities flagged for fitting move in every search.
void RunDriver::searchStep() {
  packWithUnitScale();
  monteCarlo_.BoundaryFlag = 0;
  monteCarlo_.RepeatCount = 0;
  if (m_.SingleStep || m_.NFit == 0) return;
  if (steps_.code == kMonteCarlo) {
    monteCarloRepeats();
  } else if (m_.FitOneByOne) {
    const int cycled = FitOneByOne(
        *engine_,
        [this] {
          m_.RunIncomplete = 1;
          search();
        },
        [this] {
          packWithUnitScale();
          m_.RunIncomplete = 1;
          search();
        });
    if (cycled >= 2) oneByOneRuns_ = engine_->OneByOneCount;
  } else {
    m_.RunIncomplete = 1;
    search();
  }
  packWithUnitScale();
}

// A search whose estimate ends near an end of its interval is repeated around the new
// estimate, six searches at most.
void RunDriver::monteCarloRepeats() {
  do {
    if (monteCarlo_.RepeatCount == 1)
      files_.report.line("! Second repeating of Monte-Carlo calculations");
    if (monteCarlo_.RepeatCount == 2)
      files_.report.line("! Third repeating of Monte-Carlo calculations");
    m_.RunIncomplete = 1;
    if (m_.FitOneByOne) {
      const int cycled = FitOneByOne(
          *engine_, [this] { search(); },
          [this] {
            packWithUnitScale();
            m_.RunIncomplete = 1;
            search();
          });
      // After cycles no repeat follows.
      if (cycled >= 2) {
        monteCarlo_.RepeatCount = 5;
        oneByOneRuns_ = engine_->OneByOneCount;
      }
    } else {
      search();
    }
    ++monteCarlo_.RepeatCount;
    if (monteCarlo_.RepeatCount > 5) monteCarlo_.BoundaryFlag = 0;
  } while (monteCarlo_.BoundaryFlag);
}

bool RunDriver::reportStep(SystemResults* record) {
  if (steps_.code != kGradient) {
    engine_->EvaluateObjective();
    WriteParameterReport(*engine_, files_.report, record);
    return true;
  }
  if (m_.SingleStep || m_.NFit == 0) return true;
  return underFittingHandlers([this, record] {
    if (oneByOneParameters_ >= 2) {
      // One more iteration over all parameters with a zero step: it changes nothing but
      // leaves the Jacobian and its decomposition of all of them for the statistics.
      const Real step = m_.Step;
      m_.Step = 0;
      m_.NFit = static_cast<std::uint8_t>(oneByOneParameters_);
      m_.RunIncomplete = 1;
      GradientIteration(*engine_, gradient_);
      m_.Step = step;
    }
    m_.RunIncomplete = 1;
    WriteGradientReport(*engine_, gradient_, files_.report, m_.NFit, record);
  });
}

// Every calculated system is fitted from its own state, as the first system of a run is: the
// gradient's 1 % test would otherwise compare the system's first R-factor with the previous
// system's last one and could stop before the first correction, and a warm start would begin
// at the previous system's solution. With a seed given, each system's searches start from it.
void RunDriver::startSystem() {
  m_.NFit = 0;
  m_.TotalRF = 0;
  m_.PreviousRF = 0;
  engine_->startRun();
  monteCarlo_.Seed = m_.RandomSeed;
  recorder_.progressReports = 0;
  searches_ = 0;
  trials_ = 0;
  oneByOneRuns_.reset();
}

// The system as read: its title, counts and parameters with their start values.
void RunDriver::startRecord(SystemResults& record, int s) const {
  record.number = s;
  record.title = m_.Title;
  record.reactantCount = m_.NReactants;
  record.pointCount = m_.TotalPoints();
  record.takeParameters(m_);
}

// The system after its tables: the final values (also where no parameter section was written)
// and the work of the fit. The simplex makes one progress report per iteration, Monte Carlo one
// per trial; the gradient's count is the report's.
void RunDriver::finishRecord(SystemResults& record) const {
  record.takeParameters(m_);
  record.fittedCount = m_.NFit;
  record.TotalRF = m_.TotalRF;
  record.objective = m_.Objective;
  if (steps_.code != kGradient) {
    record.searches = searches_;
    record.iterations = steps_.code == kMonteCarlo ? trials_ : recorder_.progressReports;
  }
  record.oneByOneRuns = oneByOneRuns_;
}

RunStatus RunDriver::runSystem(int s) {
  InputText& in = *files_.input;
  std::string title;
  in.readLine(title);
  ++in.line;
  m_.Title = title;
  files_.echo.line(title);

  TextWriter& out = files_.report;
  out.line("");
  if (m_.NSystems > 1)
    out.line("<<<<<<<<<<<<<<<<<<<<<<<<<<<< Calculated System:" + fmt::integer(s, 3) +
             " >>>>>>>>>>>>>>>>>>>>>>>>>>>");
  out.line(title);
  out.line("");

  startSystem();
  if (!readSystem()) return endEarly(RunStatus::InputError);
  SystemResults current;
  SystemResults* record = results_ ? &current : nullptr;
  if (record) startRecord(current, s);
  try {
    if (!underFittingHandlers([this] { methodStep(); })) return endEarly(RunStatus::CalculationFailure);
    if (!fittedValuesPrintable()) return endEarly(RunStatus::CalculationFailure);
    if (!reportStep(record)) return endEarly(RunStatus::CalculationFailure);
    WriteDataTables(*engine_, files_, s, s == m_.NSystems, record);
  } catch (const CalculationAborted&) {
    // The engine has told the user already; nothing more is written.
    return endEarly(RunStatus::CalculationFailure);
  }
  files_.fitted.write(fittedDataText(m_, s));
  if (record) {
    finishRecord(current);
    results_->systems.push_back(std::move(current));
  }
  return RunStatus::Completed;
}

// A fit that ran away (a parameter the data hardly touch, corrected by a huge step) leaves a
// value that the report's fixed-point fields cannot show; it ends the run as a failed
// calculation instead of a report of 170-digit numbers.
bool RunDriver::fittedValuesPrintable() {
  if (m_.SingleStep) return true;
  const std::string value = unprintableFittedValue(m_);
  if (value.empty()) return true;
  information("The fit ran away: " + value +
              " is beyond what the data determine. Fix this parameter or try another "
              "algorithm, please");
  return false;
}

void RunDriver::writeClosingLines(const ClockReading& start) {
  TextWriter& out = files_.report;
  out.line("");
  out.line("_________________________________");
  const ClockReading end = platform_.now();
  if (results_) results_->finished = end;
  out.line("");
  out.line("FINAL   TIME:   " + clockText(end));
  out.line("TIME OF COMPUTATIONS: " + elapsedText(start, end));
}

RunStatus RunDriver::run() {
  resetRunState();
  std::string inputName, outputName;
  if (!readControlFile(inputName, outputName)) return RunStatus::FileError;
  if (results_) {
    results_->input = inputName;
    results_->output = outputName;
  }
  if (!fileCanBeOpened(inputName)) {
    fileMessage("Cannot open file '" + inputName + "'", "Open File");
    return RunStatus::FileError;
  }
  const std::string ext = upperExtension4(inputName);
  if (ext == ".DAT") m_.InputIsSuperquad = 0;
  if (ext == ".SQD") m_.InputIsSuperquad = 1;
  if (!copyInput(inputName)) return RunStatus::FileError;
  if (!openOutputFiles(outputName)) return endEarly(RunStatus::FileError);

  engine_ = std::make_unique<Engine>(m_, recorder_, files_.report);
  try {
    return writeRun();
  } catch (const IoError& error) {
    return writeFailed(error);
  }
}

// Everything the run writes after its files are open. A write that fails (a full disk, an I/O
// error) raises IoError, which ends the run.
RunStatus RunDriver::writeRun() {
  const ClockReading start = platform_.now();
  if (results_) results_->started = start;
  writeBanner(start);
  files_.input->line = 0;
  if (!readSystemCount()) return endEarly(RunStatus::InputError);
  for (int s = 1; s <= m_.NSystems; ++s) {
    const RunStatus status = runSystem(s);
    if (status != RunStatus::Completed) return status;
  }
  // Every other file is closed (and so written out) before the report gets its closing lines:
  // a report that ends with its time lines stands for a run whose files are all complete.
  files_.input.reset();
  for (TextWriter* file : {&files_.pfp, &files_.ttc, &files_.rac, &files_.echo, &files_.fitted})
    file->close();
  writeClosingLines(start);
  files_.report.close();
  return RunStatus::Completed;
}

// A failed write names the file and the system's reason. When the failed file is not the
// report itself, the report says so as its last line, so that it cannot pass for complete.
RunStatus RunDriver::writeFailed(const IoError& error) {
  const std::string text = "Cannot write file '" + error.path() + "': " + error.reason();
  if (files_.report.isOpen() && error.path() != files_.report.path()) {
    try {
      files_.report.line("");
      files_.report.line(text);
    } catch (const IoError&) {
    }
  }
  m_.RunIncomplete = 1;
  fileMessage(text, "Write into File");
  return endEarly(RunStatus::FileError);
}

}  // namespace

RunStatus GradientRun(Model& model, Platform& platform) {
  return RunDriver(kGradientSteps, model, platform, nullptr).run();
}

RunStatus SimplexRun(Model& model, Platform& platform) {
  return RunDriver(kSimplexSteps, model, platform, nullptr).run();
}

RunStatus MonteCarloRun(Model& model, Platform& platform) {
  return RunDriver(kMonteCarloSteps, model, platform, nullptr).run();
}

RunStatus runWithMethod(std::uint8_t fittingMethod, Model& model, Platform& platform,
                        RunResults* results) {
  switch (fittingMethod) {
    case kGradient: return RunDriver(kGradientSteps, model, platform, results).run();
    case kMonteCarlo: return RunDriver(kMonteCarloSteps, model, platform, results).run();
    default: return RunDriver(kSimplexSteps, model, platform, results).run();
  }
}

}  // namespace tarvolin
