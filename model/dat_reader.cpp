#include "model/dat_reader.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/number_format.h"
#include "model/input_messages.h"
#include "model/numeric_words.h"

namespace tarvolin {

namespace {

// Reads the words of one system in the order of the DAT layout and fills the model. Every
// check throws InputError, which the entry point turns into the message.
class DatReader {
 public:
  DatReader(Model& model, InputText& input, TextWriter& echo)
      : m_(model), in_(input), echo_(echo) {}

  void readSystem();

 private:
  // --- words and numbers ---
  std::string word();
  long long integer(int badCode = kBadNumber);
  Real real();
  [[noreturn]] void fail(int code, long long number = 0, int limit = 0);
  [[noreturn]] void failWithValue(int code, Real value);

  // --- echo: a value followed by "," (list) or alone (a value that closes its group) ---
  void echoInt(long long v) { echo_.write(fmt::integer(v)).write(","); }
  void echoLastInt(long long v) { echo_.write(fmt::integer(v)); }
  void echoReal(Real v) { echo_.write(fmt::scientific(v, 15)).write(","); }
  void echoLastReal(Real v) { echo_.write(fmt::scientific(v, 15)); }
  void echoEnd() { echo_.endLine(); }

  // --- the groups of the layout ---
  void readHeaderCounts();
  void readBlockSizes();
  void readBlockConstants();
  void readStoichiometry();
  void readInputReagents();
  void readBlockData(int b);
  void readTitrationBlock(int b);
  void readBatchBlock(int b);
  void readAdditiveValues();
  void readFormationConstants();
  void readSettings();
  void checkFittedParameters();
  void completeBlocks();

  std::uint8_t flag();
  int countFitted() const;

  Model& m_;
  InputText& in_;
  TextWriter& echo_;
};

std::string DatReader::word() {
  std::string w;
  switch (in_.readWord(w)) {
    case WordResult::Ok: return w;
    case WordResult::TooLong: fail(kWordTooLong);
    case WordResult::EndOfInput: fail(kBadNumber);
  }
  fail(kBadNumber);
}

void DatReader::fail(int code, long long number, int limit) {
  InputErrorDetail detail;
  detail.code = code;
  detail.number = number;
  detail.line = in_.line;
  detail.limit = limit;
  throw InputError(detail);
}

// A message that shows the refused real value itself (a volume, the step size).
void DatReader::failWithValue(int code, Real value) {
  InputErrorDetail detail;
  detail.code = code;
  detail.line = in_.line;
  detail.volume = value;
  throw InputError(detail);
}

long long DatReader::integer(int badCode) {
  long long v = 0;
  if (!parseIntegerWord(word(), v)) fail(badCode);
  return v;
}

Real DatReader::real() {
  Real v = 0;
  if (!parseRealWord(word(), v)) fail(kBadNumber);
  return v;
}

// A fit flag: 0..255, stored as the model's 8-bit key.
std::uint8_t DatReader::flag() {
  const long long v = integer();
  if (v < 0 || v > 255) fail(kBadNumber);
  echoInt(v);
  return static_cast<std::uint8_t>(v);
}

void DatReader::readHeaderCounts() {
  // Items 2 and 3: carried to the fitted-data copy, used by no calculation.
  const long long models = integer();
  echoInt(models);
  const long long second = integer();
  echoLastInt(second);
  echoEnd();
  // Carried back into the fitted copy: a value its field cannot hold would come back changed.
  if (models < 0 || models > 65535 || second < 0 || second > 255) fail(kBadNumber);
  m_.NCalcModels = static_cast<std::uint16_t>(models);
  m_.HeaderInt2 = static_cast<std::uint8_t>(second);

  // Item 4: basic components.
  const long long reactants = integer();
  echoInt(reactants);
  if (reactants > kMaxReactants || reactants < 0) fail(kTooManyReactants, reactants);
  if (reactants == 0) fail(kNoReactants, reactants);
  m_.NReactants = static_cast<std::uint8_t>(reactants);

  // Item 5: species; a "." and whatever follows it is ignored (7. reads as 7).
  std::string w = word();
  if (const auto dot = w.find('.'); dot != std::string::npos) w.erase(dot);
  long long species = 0;
  if (!parseIntegerWord(w, species)) fail(kBadNumber);
  echoInt(species);
  if (species > kMaxSpecies || species < 0) fail(kTooManySpecies, species);
  if (species == 0) fail(kNoSpecies, species);
  // The first species are the free basic components themselves.
  if (species < m_.NReactants) fail(kFewerSpeciesThanReactants, species, m_.NReactants);
  m_.NSpecies = static_cast<std::uint8_t>(species);

  // Item 6: blocks.
  const long long blocks = integer();
  echoLastInt(blocks);
  echoEnd();
  if (blocks > kMaxBlocks || blocks < 0) fail(kTooManyBlocks, blocks);
  if (blocks < 1) fail(kTooFewBlocks, blocks);
  m_.NBlocks = static_cast<std::uint8_t>(blocks);
}

void DatReader::readBlockSizes() {
  // Item 7: points of each block, each and all together within the table.
  long long total = 0;
  for (int b = 1; b <= m_.NBlocks; ++b) {
    const long long n = integer();
    echoInt(n);
    if (n > kMaxPoints || n < 0) fail(kTooManyBlockPoints, n);
    if (n == 0) fail(kNoBlockPoints, n);
    total += n;
    if (total > kMaxPoints) fail(kTooManyPoints, total);
    m_.NPoints[b] = static_cast<std::uint16_t>(n);
  }
  // Item 8: method code of each block.
  for (int b = 1; b <= m_.NBlocks; ++b) {
    const long long code = integer();
    echoInt(code);
    if (!isKnownMethod(static_cast<int>(code)) || code != static_cast<int>(code))
      fail(kBadMethod, code);
    m_.Method[b] = static_cast<std::int8_t>(code);
  }
  echoEnd();
}

void DatReader::readBlockConstants() {
  // Item 9: Fo, BlockFactor, BlockWeight of each block.
  for (int b = 1; b <= m_.NBlocks; ++b) {
    m_.Fo[b] = real();
    echoReal(m_.Fo[b]);
    m_.BlockFactor[b] = real();
    echoReal(m_.BlockFactor[b]);
    m_.BlockWeight[b] = real();
    echoReal(m_.BlockWeight[b]);
  }
  echoEnd();
}

void DatReader::readStoichiometry() {
  // Item 10: one row of coefficients per species.
  for (int s = 1; s <= m_.NSpecies; ++s) {
    for (int r = 1; r <= m_.NReactants; ++r) {
      const long long v = integer(kBadStoichiometry);
      if (v < -128 || v > 127) fail(kBadStoichiometry, v);
      echoInt(v);
      m_.Stoich[s][r] = static_cast<std::int8_t>(v);
    }
    echoEnd();
  }
}

void DatReader::readInputReagents() {
  // Item 11: number of input reagents.
  const long long n = integer();
  echoLastInt(n);
  echoEnd();
  if (n > m_.NSpecies || n < 0) fail(kTooManyReagents, n, m_.NSpecies);
  if (n > kMaxInputReagents) fail(kReagentTableFull, n);
  m_.NInputReagents = static_cast<std::uint8_t>(n);

  // Item 12: species of each reagent; a "." marks its purity as refined.
  for (int i = 1; i <= m_.NInputReagents; ++i) {
    std::string w = word();
    m_.FitPurity[i] = 0;
    if (const auto dot = w.find('.'); dot != std::string::npos) {
      w.erase(dot);
      m_.FitPurity[i] = 1;
    }
    long long index = 0;
    if (!parseIntegerWord(w, index)) fail(kBadNumber);
    echoInt(index);
    if (index > m_.NSpecies) fail(kBadReagentIndex, index, m_.NSpecies);
    if (index < 1) fail(kReagentIndexZero, index);
    m_.ReagentSpecies[i] = static_cast<std::uint8_t>(index);
    m_.Purity[i] = 1;
  }
  echoEnd();

  // Item 13: print-control value of each basic component.
  for (int r = 1; r <= m_.NReactants; ++r) m_.ReactantPrintFlag[r] = flag();
  echoEnd();

  // Every count is known now: the tables take the system's size before its values come.
  m_.growTables();
  m_.growPoints(m_.TotalPoints());
}

void DatReader::readTitrationBlock(int b) {
  const int first = m_.First(b);
  const int last = m_.Last(b);
  const int nr = m_.NInputReagents;

  for (int i = 1; i <= nr; ++i) {
    m_.C0[b][i] = real();
    echoReal(m_.C0[b][i]);
  }
  const Real v0 = real();
  echoLastReal(v0);
  echoEnd();
  if (!(v0 > 0)) failWithValue(kBadTitratedVolume, v0);
  m_.V0[b] = v0;
  for (int i = 1; i <= nr; ++i) {
    m_.CTitrant[b][i] = real();
    echoReal(m_.CTitrant[b][i]);
  }
  echoEnd();
  for (int p = first; p <= last; ++p) {
    m_.VAdded[p] = real();
    echoReal(m_.VAdded[p]);
  }
  echoEnd();
  // Totals at each point from the initial solution and the titrant added so far; an addition
  // that empties the cell would make them infinite or negative.
  Real added = 0;
  for (int p = first; p <= last; ++p) {
    added = added + m_.VAdded[p];
    m_.PointFactor[p] = v0 + added;
    if (!(m_.PointFactor[p] > 0)) failWithValue(kBadTotalVolume, m_.PointFactor[p]);
    for (int i = 1; i <= nr; ++i)
      m_.Ct[p][i] = (m_.C0[b][i] * v0 + m_.CTitrant[b][i] * added) / m_.PointFactor[p];
  }

  for (int p = first; p <= last; ++p) {
    m_.Yexp[p] = m_.YexpRead[p] = real();
    echoReal(m_.Yexp[p]);
  }
  echoEnd();
  const bool increments = m_.Method[b] == 5 || m_.Method[b] == 6;
  if (increments) {
    const long long initReactants = integer();
    echoInt(initReactants);
    const long long initSpecies = integer();
    echoInt(initSpecies);
    echoEnd();
    if (initReactants < 0 || initReactants > m_.NReactants)
      fail(kBadInitReactants, initReactants, m_.NReactants);
    if (initSpecies < 0 || initSpecies > m_.NSpecies)
      fail(kBadInitSpecies, initSpecies, m_.NSpecies);
    m_.InitReactants[b] = static_cast<std::uint8_t>(initReactants);
    m_.InitSpecies[b] = static_cast<std::uint8_t>(initSpecies);
  }

  // Increment blocks also need the state before each addition.
  m_.IncrementMode[b] = increments ? 1 : 0;
  if (increments) {
    m_.VolBefore[first] = v0;
    for (int i = 1; i <= nr; ++i) m_.CtBefore[first][i] = m_.C0[b][i];
    for (int p = first; p < last; ++p) {
      m_.VolBefore[p + 1] = m_.PointFactor[p];
      for (int i = 1; i <= nr; ++i) m_.CtBefore[p + 1][i] = m_.Ct[p][i];
    }
  }
}

void DatReader::readBatchBlock(int b) {
  const int first = m_.First(b);
  const int last = m_.Last(b);
  for (int p = first; p <= last; ++p) {
    m_.Yexp[p] = m_.YexpRead[p] = real();
    echoReal(m_.Yexp[p]);
  }
  echoEnd();
  for (int i = 1; i <= m_.NInputReagents; ++i) {
    for (int p = first; p <= last; ++p) {
      m_.Ct[p][i] = real();
      echoReal(m_.Ct[p][i]);
    }
    echoEnd();
  }
  m_.IncrementMode[b] = 0;

  // Monotonic totals let the percentage and curve windows use the point order as an axis.
  m_.MonotonicData = 1;
  for (int i = 1; i <= m_.NInputReagents; ++i) {
    const Real start = m_.Ct[first][i];
    const Real end = m_.Ct[last][i];
    for (int p = first + 1; p <= last; ++p) {
      if (end < start && m_.Ct[p][i] > m_.Ct[p - 1][i]) m_.MonotonicData = 0;
      if (end > start && m_.Ct[p][i] < m_.Ct[p - 1][i]) m_.MonotonicData = 0;
    }
  }
}

void DatReader::readBlockData(int b) {
  if (isTitrationMethod(m_.Method[b]))
    readTitrationBlock(b);
  else
    readBatchBlock(b);
}

void DatReader::readAdditiveValues() {
  // Item 15: for each block the AV row, then the FitAV row.
  for (int b = 1; b <= m_.NBlocks; ++b) {
    for (int s = 1; s <= m_.NSpecies; ++s) {
      m_.AV[s][b] = real();
      echoReal(m_.AV[s][b]);
    }
    echoEnd();
    for (int s = 1; s <= m_.NSpecies; ++s) {
      const long long key = integer();
      echoInt(key);
      // 0 fixed, 1 fitted, 10k tied to parameter k; 2..9 would name parameter 0.
      if (key < 0 || key > 255 || (key >= 2 && key <= 9)) fail(kBadFitAVKey, key);
      m_.FitAV[s][b] = static_cast<std::uint8_t>(key);
    }
    echoEnd();
  }
}

void DatReader::readFormationConstants() {
  for (int s = 1; s <= m_.NSpecies; ++s) {
    m_.lgBETA[s] = real();
    echoReal(m_.lgBETA[s]);
  }
  echoEnd();
  for (int s = 1; s <= m_.NSpecies; ++s) m_.FitBeta[s] = flag();
  echoEnd();
  for (int b = 1; b <= m_.NBlocks; ++b) m_.FitBlock[b] = flag();
  echoEnd();
}

// The step sizes the solver's simplex and every fitting method's moves; a negative one turns
// the gradient's corrections uphill and the fit diverges. Zero is valid: nothing moves.
void DatReader::readSettings() {
  m_.Step = real();
  echoReal(m_.Step);
  m_.Tolerance = real();
  echoLastReal(m_.Tolerance);
  echoEnd();
  // Tested after the pair, which ends its line, so that the message names the step's line.
  if (!(m_.Step >= 0)) failWithValue(kBadStep, m_.Step);
}

int DatReader::countFitted() const {
  int n = 0;
  for (int b = 1; b <= m_.NBlocks; ++b)
    for (int s = 1; s <= m_.NSpecies; ++s) n += m_.FitAV[s][b] == 1;
  for (int s = 1; s <= m_.NSpecies; ++s) n += m_.FitBeta[s] == 1;
  for (int b = 1; b <= m_.NBlocks; ++b) n += m_.FitBlock[b] == 1;
  for (int i = 1; i <= m_.NInputReagents; ++i) n += m_.FitPurity[i] == 1;
  return n;
}

// The parameter vector holds at most 255 values, and a tied additive value must name one of
// them.
void DatReader::checkFittedParameters() {
  const int fitted = countFitted();
  if (fitted > kMaxFitted) fail(kTooManyFitted, fitted);
  for (int b = 1; b <= m_.NBlocks; ++b)
    for (int s = 1; s <= m_.NSpecies; ++s)
      if (m_.FitAV[s][b] >= 10 && m_.FitAV[s][b] / 10 > fitted)
        fail(kDanglingFitAVTie, m_.FitAV[s][b], fitted);
}

void DatReader::completeBlocks() {
  for (int b = 1; b <= m_.NBlocks; ++b) {
    const int first = m_.First(b);
    const int last = m_.Last(b);
    switch (m_.Method[b]) {
      case -1:
      case 2:
        // The property is per unit total of the observed reagent.
        for (int p = first; p <= last; ++p)
          m_.PointFactor[p] = m_.NInputReagents >= 1 && m_.Ct[p][1] > 0 ? 1 / m_.Ct[p][1] : 0;
        break;
      case 0:
        for (int p = first; p <= last; ++p) {
          m_.PointFactor[p] = real();
          echoReal(m_.PointFactor[p]);
        }
        echoEnd();
        break;
      case 1:
        m_.a[b] = real();
        echoLastReal(m_.a[b]);
        echoEnd();
        for (int p = first; p <= last; ++p) m_.PointFactor[p] = 1;
        break;
      case 5:
        break;
      case 6: {
        // The measured values are increments; the property is their running sum.
        m_.IncrementMode[b] = 0;
        Real sum = 0;
        for (int p = first; p <= last; ++p) {
          sum = sum + m_.Yexp[p];
          m_.Yexp[p] = sum;
        }
        break;
      }
      case 7:
        m_.IncrementMode[b] = 0;
        for (int p = first; p <= last; ++p) m_.PointFactor[p] = m_.BlockFactor[b];
        break;
      case 8:
        m_.IncrementMode[b] = 0;
        for (int p = first; p <= last; ++p) m_.PointFactor[p] = 1;
        break;
    }
  }
}

void DatReader::readSystem() {
  readHeaderCounts();
  readBlockSizes();
  readBlockConstants();
  readStoichiometry();
  readInputReagents();
  for (int b = 1; b <= m_.NBlocks; ++b) readBlockData(b);
  readAdditiveValues();
  readFormationConstants();
  checkFittedParameters();
  readSettings();
  completeBlocks();
  in_.readLookAhead();
}

}  // namespace

void ReadDatSystem(Model& model, InputText& input, TextWriter& echo, Platform& platform) {
  try {
    DatReader(model, input, echo).readSystem();
    model.RunIncomplete = 0;
  } catch (const InputError& error) {
    ShowInputError(error.detail(), model, platform);
  }
}

}  // namespace tarvolin
