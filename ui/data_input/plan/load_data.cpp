#include "ui/data_input/plan/load_data.h"

#include "base/number_format.h"
#include "base/text_file.h"
#include "model/limits.h"
#include "model/numeric_words.h"

namespace tarvolin::data_input {

// ---- words ----

int PlanWords::next() {
  if (pos_ >= text_.size()) return -1;
  const int c = static_cast<unsigned char>(text_[pos_++]);
  // A CR counts, and an LF not preceded by CR: CR LF, LF and lone CR files count alike.
  if (c == '\r' || (c == '\n' && (pos_ < 2 || text_[pos_ - 2] != '\r'))) ++line_;
  return c;
}

void PlanWords::skipLine() {
  int c = lookAhead_ == '\r' || lookAhead_ == '\n' ? lookAhead_ : next();
  while (c >= 0 && c != '\r' && c != '\n') c = next();
  if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') c = next();
  lookAhead_ = ' ';
}

PlanWords::Result PlanWords::Get_Wrd(std::string& word) {
  const auto isDelimiter = [](int c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == ',';
  };
  word.clear();
  for (;;) {
    while (isDelimiter(lookAhead_)) lookAhead_ = next();
    if (lookAhead_ != '/') break;
    // A comment: the rest of the line; its line end is a delimiter again.
    while (lookAhead_ >= 0 && lookAhead_ != '\r' && lookAhead_ != '\n') lookAhead_ = next();
  }
  if (lookAhead_ < 0) return Result::EndOfInput;
  while (lookAhead_ >= 0 && !isDelimiter(lookAhead_) && lookAhead_ != '/') {
    if (static_cast<int>(word.size()) == kMaxWordLength) return Result::TooLong;
    word.push_back(static_cast<char>(lookAhead_));
    lookAhead_ = next();
  }
  // The delimiter that ended the word is consumed; a "/" stays to start its comment.
  if (lookAhead_ != '/' && lookAhead_ >= 0) lookAhead_ = next();
  if (word.size() > 1 && word.back() == '.' && word.find('.') == word.size() - 1) word.pop_back();
  return Result::Ok;
}

// ---- messages ----

Notice AboutErr(const AboutErrDetail& d) {
  const std::string L = fmt::integer(d.line);
  const std::string N = fmt::integer(d.number);
  switch (d.code) {
    case kLoadBadNumber:
      return warningNotice("The DATA file: error at line >= " + L);
    case kLoadWordTooLong:
      return warningNotice("Error: line >= " + L + ":" + " too long input number (word).");
    case kLoadBadStoichiometry:
      return warningNotice("Error: line >= " + L + ":" + " see input of stoichiometric matrix.");
    case kLoadBadTitratedVolume:
      return warningNotice("Error: line >= " + L + ": " + fmt::general(d.volume) +
                           " - incorrect value of titr. volume.");
    case kLoadTooManyReactants:
      return warningNotice("Too many basic components (reactants): it is more than " +
                           fmt::integer(kMaxReactants));
    case kLoadTooManySpecies:
      return warningNotice("Too many species in solution: it is more than " +
                           fmt::integer(kMaxSpecies));
    case kLoadTooManyBlocks:
      return warningNotice(
          "Too many experimental blocks: it is more than " + fmt::integer(kMaxBlocks) +
          " or the number of titr. curves is more than " + fmt::integer(kMaxBlocks));
    case kLoadTooManyBlockPoints:
      return warningNotice("The number of data points in block is " + N + " more than " +
                           fmt::integer(kMaxPoints));
    case kLoadTooManyPoints:
      return warningNotice("The number of data points is more than " + fmt::integer(kMaxPoints));
    case kLoadBadMethod:
      return warningNotice("Incorrect data type: impossible experimental method; see Help File.");
    case kLoadTooManyReagents:
      return warningNotice("The number of input reagents (" + N +
                           ") is more than the number of species in solution " +
                           fmt::integer(d.species));
    case kLoadBadReagentIndex:
      return warningNotice("The number of input reagents (" + N +
                           ") is more than the number of all species in solution (" +
                           fmt::integer(d.species) + ")");
    case kLoadTooFewBlocks:
      return warningNotice("Incorrect number of experimental blocks: " + fmt::integer(kMaxBlocks));
    default:
      return warningNotice("");
  }
}

// ---- the reader ----

namespace {

// Ends the reading with the warnings collected so far.
struct StopReading {};

class PlanReader {
 public:
  PlanReader(std::string text, Model& model) : in_(std::move(text)), m_(model) {}

  LoadOutcome read();

 private:
  [[noreturn]] void fail(int code, long long number = 0) {
    AboutErrDetail d;
    d.code = code;
    d.line = in_.line();
    d.number = number;
    d.species = m_.NSpecies;
    stop(AboutErr(d).text);
  }
  [[noreturn]] void stop(const std::string& warning) {
    warn(warning);
    throw StopReading{};
  }
  void warn(const std::string& warning) {
    if (!warning.empty()) outcome_.notices.push_back(warningNotice(warning));
    outcome_.DataError = true;
  }

  std::string word();
  long long integer(int badCode = kLoadBadNumber);
  long long integerBeforePoint();
  Real real();
  std::uint8_t flag();

  void readHeader();
  void readBlock();
  void readStoichiometry();
  void readInputReagents();
  void readPoints();
  void readParameters();

  PlanWords in_;
  Model& m_;
  LoadOutcome outcome_;
};

std::string PlanReader::word() {
  std::string w;
  switch (in_.Get_Wrd(w)) {
    case PlanWords::Result::Ok:
      return w;
    case PlanWords::Result::TooLong:
      fail(kLoadWordTooLong);
    case PlanWords::Result::EndOfInput:
      break;
  }
  fail(kLoadBadNumber);
}

long long PlanReader::integer(int badCode) {
  long long v = 0;
  if (!parseIntegerWord(word(), v)) fail(badCode);
  return v;
}

// The species count and a reagent's species: whatever follows a "." is dropped.
long long PlanReader::integerBeforePoint() {
  std::string w = word();
  if (const auto dot = w.find('.'); dot != std::string::npos) w.erase(dot);
  long long v = 0;
  if (!parseIntegerWord(w, v)) fail(kLoadBadNumber);
  return v;
}

Real PlanReader::real() {
  Real v = 0;
  if (!parseRealWord(word(), v)) fail(kLoadBadNumber);
  return v;
}

std::uint8_t PlanReader::flag() {
  const long long v = integer();
  if (v < 0 || v > 255) fail(kLoadBadNumber);
  return static_cast<std::uint8_t>(v);
}

void PlanReader::readHeader() {
  in_.skipLine();
  in_.skipLine();
  const long long models = integer();
  const long long second = integer();
  if (models < 0 || models > 65535 || second < 0 || second > 255) fail(kLoadBadNumber);
  m_.NCalcModels = static_cast<std::uint16_t>(models);
  m_.HeaderInt2 = static_cast<std::uint8_t>(second);
  if (m_.NCalcModels != 1) {
    warn(kOneCalcModelOnly);
    m_.NCalcModels = 1;
  }

  const long long reactants = integer();
  if (reactants > kMaxReactants || reactants < 0) fail(kLoadTooManyReactants, reactants);
  m_.NReactants = static_cast<std::uint8_t>(reactants);
  const long long species = integerBeforePoint();
  if (species > kMaxSpecies || species < 0) fail(kLoadTooManySpecies, species);
  m_.NSpecies = static_cast<std::uint8_t>(species);
  const long long blocks = integer();
  if (blocks > kMaxBlocks || blocks < 0) fail(kLoadTooManyBlocks, blocks);
  if (blocks < 1) fail(kLoadTooFewBlocks, blocks);
  if (blocks != 1) {
    m_.NBlocks = 1;
    stop(kOneBlockOnly);
  }
  m_.NBlocks = 1;
}

void PlanReader::readBlock() {
  const long long points = integer();
  if (points > kMaxPoints || points < 0) fail(kLoadTooManyBlockPoints, points);
  m_.NPoints[1] = static_cast<std::uint16_t>(points);
  const long long code = integer();
  if (!isKnownMethod(static_cast<int>(code)) || code != static_cast<int>(code))
    fail(kLoadBadMethod, code);
  m_.Method[1] = static_cast<std::int8_t>(code);
  if (code != -1) stop(kBatchNmrOnly);
  m_.Fo[1] = real();
  m_.BlockFactor[1] = real();
  m_.BlockWeight[1] = real();
}

void PlanReader::readStoichiometry() {
  for (int s = 1; s <= m_.NSpecies; ++s)
    for (int r = 1; r <= m_.NReactants; ++r) {
      const long long v = integer(kLoadBadStoichiometry);
      if (v < -128 || v > 127) fail(kLoadBadStoichiometry, v);
      m_.Stoich[s][r] = static_cast<std::int8_t>(v);
    }
}

// The grids give one total concentration per reactant: input reagent i must be species i.
void PlanReader::readInputReagents() {
  const long long n = integer();
  if (n > m_.NSpecies || n < 0) fail(kLoadTooManyReagents, n);
  if (n != m_.NReactants) stop(kReactantsAsReagentsOnly);
  m_.NInputReagents = static_cast<std::uint8_t>(n);
  for (int i = 1; i <= m_.NInputReagents; ++i) {
    const long long index = integerBeforePoint();
    if (index > m_.NSpecies) fail(kLoadBadReagentIndex, index);
    if (index != i) stop(kReactantsAsReagentsOnly);
    m_.ReagentSpecies[i] = static_cast<std::uint8_t>(index);
    m_.Purity[i] = 1;
    m_.FitPurity[i] = 0;
  }
  for (int r = 1; r <= m_.NReactants; ++r) m_.ReactantPrintFlag[r] = flag();
  m_.growTables();
  m_.growPoints(m_.NPoints[1]);
}

void PlanReader::readPoints() {
  const int n = m_.NPoints[1];
  for (int p = 1; p <= n; ++p) m_.Yexp[p] = m_.YexpRead[p] = real();
  for (int i = 1; i <= m_.NInputReagents; ++i)
    for (int p = 1; p <= n; ++p) m_.Ct[p][i] = real();
  m_.IncrementMode[1] = 0;
}

void PlanReader::readParameters() {
  for (int s = 1; s <= m_.NSpecies; ++s) m_.AV[s][1] = real();
  for (int s = 1; s <= m_.NSpecies; ++s) m_.FitAV[s][1] = flag();
  for (int s = 1; s <= m_.NSpecies; ++s) m_.lgBETA[s] = real();
  for (int s = 1; s <= m_.NSpecies; ++s) m_.FitBeta[s] = flag();
  m_.FitBlock[1] = flag();
  m_.Step = real();
  m_.Tolerance = real();
  // Batch NMR: the property is per unit total of the observed reactant.
  for (int p = 1; p <= m_.NPoints[1]; ++p)
    m_.PointFactor[p] = m_.NInputReagents >= 1 && m_.Ct[p][1] > 0 ? 1 / m_.Ct[p][1] : 0;
}

LoadOutcome PlanReader::read() {
  try {
    readHeader();
    readBlock();
    readStoichiometry();
    readInputReagents();
    readPoints();
    readParameters();
  } catch (const StopReading&) {
  }
  m_.ReadError = outcome_.DataError ? 1 : 0;
  m_.RunIncomplete = 0;
  return std::move(outcome_);
}

}  // namespace

LoadOutcome LoadData(const std::string& text, Model& model) {
  return PlanReader(text, model).read();
}

LoadOutcome LoadDataFile(const std::string& path, Model& model) {
  std::string text;
  if (!readWholeFile(path, text)) {
    LoadOutcome outcome;
    outcome.notices.push_back(informationNotice("Select an existing the *.DAT File."));
    outcome.DataError = true;
    return outcome;
  }
  dropByteOrderMark(text);
  return LoadData(text, model);
}

}  // namespace tarvolin::data_input
