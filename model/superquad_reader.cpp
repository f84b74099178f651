#include "model/superquad_reader.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <deque>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "base/number_format.h"
#include "model/limits.h"
#include "model/numeric_words.h"

namespace tarvolin {

namespace {

// Card groups, as the messages name them.
enum Group : int {
  kGroupCounts = 2,
  kGroupNames = 3,
  kGroupTemperature = 4,
  kGroupComplexes = 5,
  kGroupReagents = 7,
  kGroupVolume = 9,
  kGroupElectrode = 10,
  kGroupPoints = 12,
};

// Slope of a Nernstian electrode, RT ln10 / F in mV per decade, from the temperature in
// degrees Celsius; F/R = 11.6048 K/mV. At 25 C and a SLOPE factor of 1 it is 59.158 mV.
Real nernstSlope(Real slopeFactor, Real celsius) {
  return slopeFactor * std::numbers::ln10_v<Real> * (celsius + 273.15L) / 11.6048L;
}

const Real kDefaultStep = 0.08L;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(std::string_view field) { return field.find_first_not_of(' ') == field.npos; }

// A card with nothing on it: the end of a list of complexes or of readings.
bool isBlankCard(std::string_view card) { return card.find_first_not_of(" \t") == card.npos; }

// Column k (1-based) of a field; a blank where the line ended before it.
char column(std::string_view field, std::size_t k) {
  return k <= field.size() ? field[k - 1] : ' ';
}

// A number may stand anywhere in its field, with blanks before and after it, as hand-typed
// cards and other programs' exports have it; anything else in the field makes it invalid.
std::string_view withoutBlanks(std::string_view field) {
  const std::size_t start = field.find_first_not_of(' ');
  if (start == field.npos) return {};
  return field.substr(start, field.find_last_not_of(' ') - start + 1);
}

// An integer field also takes a whole number written as a real (2. or 2.0).
bool integerField(std::string_view field, long long& value) {
  const std::string_view text = withoutBlanks(field);
  return !text.empty() && parseWholeNumberWord(text, value);
}

// Reals in the Fortran forms: .5, -.081, 11., 1.5E-3, 1.5D-3.
bool realField(std::string_view field, Real& value) {
  const std::string_view text = withoutBlanks(field);
  if (text.empty()) return false;
  // A refused out-of-range number must not leave an overflow flag behind for the run's
  // floating-point check: the conversion runs with the flags saved and restored.
  std::fenv_t saved;
  std::feholdexcept(&saved);
  const bool ok = parseFortranRealWord(text, value);
  std::fesetenv(&saved);
  return ok;
}

// Why reading stopped: a card-reader message, or one of the DAT reader's.
struct ReadFailure {
  bool datMessage = false;
  int code = 0;
  long long number = 0;  // card group, or the count of codes 24-26
  InputErrorDetail detail;
};

// One reagent card of a titration: the species the reactant is added as, and its amounts.
struct ReagentCard {
  std::uint8_t species = 0;
  std::uint8_t printFlag = 0;
  std::uint8_t purityKey = 0;
  Real millimoles = 0;  // in the vessel
  Real burette = 0;     // mol/l; 0 for the reactant given as a negative concentration
};

struct PointCard {
  Real titre = 0;  // total volume added so far, ml
  Real emf = 0;
};

// The cards of one titration (reagents, volume, electrode, readings) as read, before they
// become a block of the model.
struct TitrationCards {
  ReagentCard reagents[kMaxReactants + 1];
  int negativeReactant = 0;  // reactant whose burette concentration is negative
  Real negativeConcentration = 0;
  int secondNegativeReactant = 0;  // a further one, which no titration may have
  Real v0 = 0;
  std::int8_t method = 8;
  Real ezero = 0;
  bool locked = false;
  int ifc = 1;  // reactant whose free concentration the electrode senses
  Real slopeFactor = 1;
  std::vector<PointCard> points;  // the stored readings, JUMP cards left out
  long long pointCount = 0;       // readings counted, also those beyond the table
  bool endedAtBlankCard = false;  // false when the file ended first
};

// Reads the card groups in order and fills the model. Every check throws ReadFailure.
//
// A file may hold several titrations of the system one after the other, each from its reagent
// cards to the blank card after its readings; the step line follows the last. After each blank
// end card the reader tries the next cards as a further titration and, unless they read as one
// completely, gives them back unread, so that the first of them is the step line.
class CardReader {
 public:
  CardReader(Model& model, InputText& input, TextWriter& echo)
      : m_(model), in_(input), echo_(echo) {}

  void read();

 private:
  // --- cards and fields ---
  void nextCard();
  std::string_view field(std::size_t width);
  void endCard();
  void skipCard() {
    nextCard();
    endCard();
  }
  [[noreturn]] void fail(int code, long long number);
  [[noreturn]] void failDat(int code, long long number, int limit = 0);

  // --- the card groups ---
  void readReactantCount();
  void readReactantNames();
  void readTemperature();
  void readComplexes();
  void readTitration(TitrationCards& t);
  void readReagents(TitrationCards& t);
  void readInitialVolume(TitrationCards& t);
  void readElectrode(TitrationCards& t);
  void readPoints(TitrationCards& t);
  bool readFurtherTitration(TitrationCards& t);
  void checkFurtherTitration(const TitrationCards& t);
  void readStep();

  // --- the model ---
  int titrantSpecies(int reactant) const;
  void checkTitrantReagent(int reactant);
  void appendTitrantReagent(int reactant, int block);
  void storeBlock(const TitrationCards& t, int block);

  Model& m_;
  InputText& in_;
  TextWriter& echo_;

  std::string card_;
  std::size_t pos_ = 0;
  bool cardRead_ = false;  // false once the input has ended

  // While a further titration is tried: the cards taken, to be given back, and their echo.
  bool trying_ = false;
  bool committed_ = false;  // the tried titration's reagent, volume and electrode cards read
  std::vector<std::string> taken_;
  std::string pendingEcho_;
  std::deque<std::string> givenBack_;

  Real celsius_ = 0;
  int titrantReactant_ = 0;  // reactant given as a negative burette concentration
  int titrantReagent_ = 0;   // the input reagent appended for it
  int storedPoints_ = 0;
};

void CardReader::nextCard() {
  pos_ = 0;
  if (!givenBack_.empty()) {
    card_ = std::move(givenBack_.front());
    givenBack_.pop_front();
    cardRead_ = true;
  } else {
    cardRead_ = in_.readLine(card_);
  }
  if (!cardRead_) return;
  ++in_.line;
  if (trying_) taken_.push_back(card_);
}

// The next `width` characters of the card, fewer where the card ends; echoed as read.
std::string_view CardReader::field(std::size_t width) {
  const std::size_t start = std::min(pos_, card_.size());
  const std::size_t length = std::min(width, card_.size() - start);
  pos_ = start + length;
  const std::string_view text(card_.data() + start, length);
  if (trying_)
    pendingEcho_ += text;
  else
    echo_.write(text);
  return text;
}

// The rest of the card is skipped; the echo line ends with the card.
void CardReader::endCard() {
  if (!cardRead_) return;
  if (trying_)
    pendingEcho_ += "\r\n";
  else
    echo_.endLine();
}

void CardReader::fail(int code, long long number) {
  ReadFailure failure;
  failure.code = code;
  failure.number = number;
  throw failure;
}

void CardReader::failDat(int code, long long number, int limit) {
  ReadFailure failure;
  failure.datMessage = true;
  failure.detail.code = code;
  failure.detail.number = number;
  failure.detail.line = in_.line;
  failure.detail.limit = limit;
  throw failure;
}

// Group 2: columns 11-15 hold the number of reactants; the fields around it are not used.
void CardReader::readReactantCount() {
  nextCard();
  field(5);
  field(5);
  long long count = 0;
  if (!integerField(field(5), count)) fail(kSqdReactantCount, kGroupCounts);
  if (count > kMaxReactants || count < 0) failDat(kTooManyReactants, count);
  if (count == 0) failDat(kNoReactants, count);
  field(5);
  endCard();
  m_.NReactants = static_cast<std::uint8_t>(count);
  m_.NInputReagents = m_.NReactants;
}

// Group 3: a name of up to 12 characters per reactant, kept for the parameter report.
void CardReader::readReactantNames() {
  for (int r = 1; r <= m_.NReactants; ++r) {
    nextCard();
    m_.ReactantName[r] = std::string(field(12));
    endCard();
  }
}

// Group 4: the temperature, which sets the Nernst slope of the electrode.
void CardReader::readTemperature() {
  nextCard();
  if (!realField(field(10), celsius_)) fail(kSqdTemperature, kGroupTemperature);
  endCard();
}

// Groups 5 and 6: the free reactants are the first species; each complex card adds a species
// with its lgBETA and coefficients, unless its KEY is negative, which switches the card off.
// The list ends at a card shorter than 10 characters or a blank one. Species beyond the table
// are counted but not stored, so that the message names the count the file asks for.
void CardReader::readComplexes() {
  const int nr = m_.NReactants;
  for (int s = 1; s <= nr; ++s) {
    m_.lgBETA[s] = 0;
    m_.FitBeta[s] = 0;
    for (int r = 1; r <= nr; ++r) m_.Stoich[s][r] = s == r ? 1 : 0;
  }
  long long species = nr;
  std::int8_t row[kMaxReactants + 1] = {};
  for (;;) {
    nextCard();
    const std::string_view head = field(10);
    if (head.size() < 10 || isBlankCard(card_)) {
      endCard();
      break;
    }
    Real lgBeta = 0;
    if (!realField(head, lgBeta)) fail(kSqdFormationConstant, kGroupComplexes);
    for (int r = 1; r <= nr; ++r) {
      long long coefficient = 0;
      if (!integerField(field(5), coefficient) || coefficient < -128 || coefficient > 127)
        fail(kSqdStoichiometry, kGroupComplexes);
      row[r] = static_cast<std::int8_t>(coefficient);
    }
    Real key = 0;
    if (!realField(field(5), key)) fail(kSqdKey, kGroupComplexes);
    endCard();
    if (key < 0) continue;
    if (++species > kMaxSpecies) continue;
    const int s = static_cast<int>(species);
    m_.lgBETA[s] = lgBeta;
    for (int r = 1; r <= nr; ++r) m_.Stoich[s][r] = row[r];
    // 1 refines; 0 and every key from 2 on fix the constant. Large keys are held at 255, so
    // that no key wraps round to 1 in the 8-bit flag.
    const Real whole = std::trunc(key);
    m_.FitBeta[s] = whole >= 255 ? 255 : static_cast<std::uint8_t>(whole);
  }
  if (species > kMaxSpecies) fail(kSqdTooManySpecies, species);
  m_.NSpecies = static_cast<std::uint8_t>(species);
}

// Groups 7 to 12 of one titration; line 8 and line 11 are headings.
void CardReader::readTitration(TitrationCards& t) {
  readReagents(t);
  skipCard();
  readInitialVolume(t);
  readElectrode(t);
  skipCard();
  // Reagent, volume and electrode cards that read are a titration, never the step line: from
  // here a fault of a further titration is the user's to correct, not a sign of its end.
  if (trying_) committed_ = true;
  readPoints(t);
}

// Group 7: one card per reactant with the species it is added as, the millimoles in the
// vessel and the burette concentration. A titrant such as hydroxide is written as a negative
// concentration of the proton reactant; it becomes an input reagent of its own.
void CardReader::readReagents(TitrationCards& t) {
  for (int r = 1; r <= m_.NReactants; ++r) {
    ReagentCard& card = t.reagents[r];
    nextCard();
    const std::string_view controls = field(5);
    const char index = column(controls, 5);
    if (!isDigit(index) || index == '0') fail(kSqdReactantIndex, kGroupReagents);
    if (index - '0' > m_.NSpecies) failDat(kBadReagentIndex, index - '0', m_.NSpecies);
    const char print = column(controls, 3);
    if (print != ' ' && !isDigit(print)) fail(kSqdPrintControl, kGroupReagents);
    if (!realField(field(10), card.millimoles)) fail(kSqdVesselMillimoles, kGroupReagents);
    if (!realField(field(10), card.burette)) fail(kSqdBuretteConcentration, kGroupReagents);
    if (card.burette < 0) {
      if (t.negativeReactant == 0) {
        t.negativeReactant = r;
        t.negativeConcentration = card.burette;
      } else if (t.secondNegativeReactant == 0) {
        // Refused at once in the first titration; a tried further one is refused only once
        // it has read as a titration.
        if (!trying_) fail(kSqdNegativeConcentration, r);
        t.secondNegativeReactant = r;
      }
      card.burette = 0;
    }
    char keys[2];
    for (char& key : keys) {
      key = column(field(5), 5);
      if (key != ' ' && !isDigit(key)) fail(kSqdRefinementKey, kGroupReagents);
    }
    endCard();

    card.species = static_cast<std::uint8_t>(index - '0');
    card.printFlag = print == ' ' ? 0 : static_cast<std::uint8_t>(print - '0');
    // The key in column 35 decides whether the purity is refined.
    card.purityKey = keys[1] == ' ' ? 0 : static_cast<std::uint8_t>(keys[1] - '0');
  }
  if (t.negativeReactant != 0 && !trying_ && titrantReagent_ == 0)
    checkTitrantReagent(t.negativeReactant);
}

// Group 9: the initial volume in ml, which turns the vessel millimoles into mol/l.
void CardReader::readInitialVolume(TitrationCards& t) {
  nextCard();
  long long jcoul = 0;
  if (!integerField(field(5), jcoul)) fail(kSqdJcoul, kGroupVolume);
  if (!realField(field(10), t.v0) || !(t.v0 > 0)) fail(kSqdInitialVolume, kGroupVolume);
  Real titreError = 0;
  if (!realField(field(10), titreError)) fail(kSqdTitreError, kGroupVolume);
  endCard();
}

// Group 10: the electrode. Type 0 (or blank) measures a potential, E = EZERO + slope lg[IFC];
// type 1 reads -lg[IFC] directly. IFC is the reactant the electrode responds to.
void CardReader::readElectrode(TitrationCards& t) {
  nextCard();
  const std::string_view controls = field(5);
  const char type = column(controls, 1);
  if (type != ' ' && type != '0' && type != '1') fail(kSqdElectrodeType, kGroupElectrode);
  const char electrons = column(controls, 3);
  if (electrons != ' ' && !isDigit(electrons)) fail(kSqdTransferredElectrons, kGroupElectrode);
  const char ifc = column(controls, 5);
  if (ifc != ' ' && !isDigit(ifc)) fail(kSqdIfcIndex, kGroupElectrode);
  t.ifc = ifc == ' ' || ifc == '0' ? 1 : ifc - '0';
  if (t.ifc > m_.NReactants) fail(kSqdIfcIndex, kGroupElectrode);
  if (!realField(field(10), t.ezero)) fail(kSqdEzero, kGroupElectrode);
  Real sigmae = 0;
  if (!realField(field(10), sigmae)) fail(kSqdSigmae, kGroupElectrode);
  long long lock = 0;
  if (const std::string_view text = field(5); !isBlank(text) && !integerField(text, lock))
    fail(kSqdLock, kGroupElectrode);
  t.slopeFactor = 0;
  if (const std::string_view text = field(10); !isBlank(text) && !realField(text, t.slopeFactor))
    fail(kSqdSlope, kGroupElectrode);
  if (t.slopeFactor == 0) t.slopeFactor = 1;
  endCard();
  t.method = type == '1' ? 1 : 8;
  t.locked = lock != 0;
}

// Group 12: one card per reading, the titre being the total volume added so far. A card with
// a nonzero JUMP flag is left out. The readings end at a blank card or at the end of the
// file; any other card must hold a reading, so that none is lost without a word. Readings
// beyond the table are counted but not stored.
void CardReader::readPoints(TitrationCards& t) {
  for (;;) {
    nextCard();
    if (!cardRead_) return;
    if (isBlankCard(card_)) {
      field(10);
      endCard();
      t.endedAtBlankCard = true;
      return;
    }
    PointCard point;
    if (!realField(field(10), point.titre)) fail(kSqdTitre, kGroupPoints);
    if (!realField(field(10), point.emf)) fail(kSqdEmf, kGroupPoints);
    field(10);
    long long jump = 0;
    if (const std::string_view text = field(5); !isBlank(text) && !integerField(text, jump))
      fail(kSqdJump, kGroupPoints);
    endCard();
    if (jump != 0) continue;
    if (++t.pointCount <= kMaxPoints) t.points.push_back(point);
  }
}

// Tries the cards after a titration's blank end card as a further titration. When its reagent,
// volume or electrode cards do not read, or it has no readings, the cards are given back
// unread and unechoed; a fault among its readings is reported.
bool CardReader::readFurtherTitration(TitrationCards& t) {
  const int line = in_.line;
  trying_ = true;
  taken_.clear();
  pendingEcho_.clear();
  bool complete = true;
  committed_ = false;
  try {
    readTitration(t);
    complete = t.pointCount > 0;
  } catch (const ReadFailure&) {
    if (committed_) {
      // A damaged titration is reported like the first one, never dropped.
      trying_ = false;
      echo_.write(pendingEcho_);
      throw;
    }
    complete = false;
  }
  trying_ = false;
  if (!complete) {
    givenBack_.insert(givenBack_.begin(), taken_.begin(), taken_.end());
    in_.line = line;
    return false;
  }
  echo_.write(pendingEcho_);
  return true;
}

// What a further titration must share with the system read so far.
void CardReader::checkFurtherTitration(const TitrationCards& t) {
  if (m_.NBlocks + 1 > kMaxBlocks) failDat(kTooManyBlocks, m_.NBlocks + 1);
  // The input reagents are the system's: each reactant is added as the same species in every
  // titration.
  for (int r = 1; r <= m_.NReactants; ++r)
    if (t.reagents[r].species != m_.ReagentSpecies[r]) fail(kSqdReactantIndex, kGroupReagents);
  if (t.secondNegativeReactant != 0) fail(kSqdNegativeConcentration, t.secondNegativeReactant);
  // One titrant reagent serves every titration: the same reactant must be the negative one.
  if (t.negativeReactant != 0) {
    if (titrantReactant_ != 0 && t.negativeReactant != titrantReactant_)
      fail(kSqdNegativeConcentration, t.negativeReactant);
    if (titrantReagent_ == 0) checkTitrantReagent(t.negativeReactant);
  }
  const long long total = storedPoints_ + t.pointCount;
  if (total > kMaxPoints) fail(kSqdTooManyPoints, total);
}

// The titrant is the first species made of one negative unit of that reactant alone
// (hydroxide for the proton), added from the burette at the positive concentration.
int CardReader::titrantSpecies(int r) const {
  for (int s = 1; s <= m_.NSpecies; ++s) {
    bool fits = m_.Stoich[s][r] == -1;
    for (int k = 1; k <= m_.NReactants && fits; ++k) fits = k == r || m_.Stoich[s][k] == 0;
    if (fits) return s;
  }
  return 0;
}

void CardReader::checkTitrantReagent(int r) {
  if (titrantSpecies(r) == 0 || m_.NInputReagents + 1 > kMaxInputReagents)
    fail(kSqdNegativeConcentration, r);
}

// Appends the titrant reagent; titrations stored before it had none in their burette.
void CardReader::appendTitrantReagent(int r, int block) {
  const int i = ++m_.NInputReagents;
  m_.growTables();
  m_.ReagentSpecies[i] = static_cast<std::uint8_t>(titrantSpecies(r));
  m_.Purity[i] = 1;
  m_.FitPurity[i] = 0;
  for (int b = 1; b < block; ++b) m_.C0[b][i] = m_.CTitrant[b][i] = 0;
  for (int p = 1; p <= storedPoints_; ++p) m_.Ct[p][i] = 0;
  titrantReactant_ = r;
  titrantReagent_ = i;
}

// One titration becomes block `block`: its initial solution and titrant, the electrode as
// the calculated property (EZERO + slope lg[IFC], method 8, with the Nernst slope at the
// temperature read; or -lg[IFC], method 1 with a = 1), and its readings with the totals after
// mixing. The reagents' species, print controls and purity keys are the first titration's.
void CardReader::storeBlock(const TitrationCards& t, int block) {
  const int b = block;
  m_.NBlocks = static_cast<std::uint8_t>(b);
  m_.growTables();
  for (int r = 1; r <= m_.NReactants; ++r) {
    const ReagentCard& card = t.reagents[r];
    if (b == 1) {
      m_.ReagentSpecies[r] = card.species;
      m_.ReactantPrintFlag[r] = card.printFlag;
      m_.Purity[r] = 1;
      m_.FitPurity[r] = card.purityKey;
    }
    m_.C0[b][r] = card.millimoles;  // per ml once V0 is applied below
    m_.CTitrant[b][r] = card.burette;
  }
  if (t.negativeReactant != 0 && titrantReagent_ == 0) appendTitrantReagent(t.negativeReactant, b);
  if (titrantReagent_ != 0) {
    m_.C0[b][titrantReagent_] = 0;
    m_.CTitrant[b][titrantReagent_] = t.negativeReactant != 0 ? -t.negativeConcentration : 0;
  }
  const Real v0 = t.v0;
  m_.V0[b] = v0;
  for (int i = 1; i <= m_.NInputReagents; ++i) m_.C0[b][i] = m_.C0[b][i] / v0;

  m_.IncrementMode[b] = 0;
  m_.Method[b] = t.method;
  m_.Fo[b] = t.method == 8 ? t.ezero : 0;
  m_.BlockWeight[b] = 1;
  m_.FitBlock[b] = t.locked ? 1 : 0;

  int p = storedPoints_;
  m_.growPoints(storedPoints_ + static_cast<int>(t.points.size()));
  Real previousTitre = 0;
  for (const PointCard& point : t.points) {
    ++p;
    m_.Yexp[p] = m_.YexpRead[p] = point.emf;
    m_.PointFactor[p] = 1;
    m_.VAdded[p] = point.titre - previousTitre;
    previousTitre = point.titre;
    // Totals after mixing the vessel solution with the titrant delivered so far.
    for (int i = 1; i <= m_.NInputReagents; ++i)
      m_.Ct[p][i] = (m_.C0[b][i] * v0 + m_.CTitrant[b][i] * point.titre) / (v0 + point.titre);
  }
  m_.NPoints[b] = static_cast<std::uint16_t>(p - storedPoints_);
  storedPoints_ = p;

  for (int s = 1; s <= m_.NSpecies; ++s) {
    m_.AV[s][b] = 0;
    m_.FitAV[s][b] = 0;
  }
  m_.BlockFactor[b] = 1;
  if (t.method == 1) {
    m_.AV[t.ifc][b] = 1;
    m_.a[b] = 1;
  } else {
    m_.AV[t.ifc][b] = nernstSlope(t.slopeFactor, celsius_);
  }
}

// Group 13: the step size, 0.08 when the line holds no usable value.
void CardReader::readStep() {
  nextCard();
  Real step = 0;
  if (!realField(field(10), step) || step < 0 || step > 1) step = kDefaultStep;
  endCard();
  m_.Step = step;
}

void CardReader::read() {
  m_.NBlocks = 1;
  m_.NCalcModels = 1;
  m_.HeaderInt2 = 2;
  readReactantCount();
  readReactantNames();
  readTemperature();
  readComplexes();

  auto first = std::make_unique<TitrationCards>();
  readTitration(*first);
  if (first->pointCount > kMaxPoints) fail(kSqdTooManyPoints, first->pointCount);
  if (first->pointCount == 0) failDat(kNoBlockPoints, 0);
  storeBlock(*first, 1);
  bool blankEnd = first->endedAtBlankCard;
  first.reset();
  while (blankEnd) {
    auto further = std::make_unique<TitrationCards>();
    if (!readFurtherTitration(*further)) break;
    checkFurtherTitration(*further);
    storeBlock(*further, m_.NBlocks + 1);
    blankEnd = further->endedAtBlankCard;
  }
  m_.Tolerance = 1e-20L;
  readStep();
}

// The suffix of each message, after the card group or the number it names.
struct Suffix {
  int code;
  const char* text;
};
const Suffix kSuffixes[] = {
    {kSqdReactantCount, ""},
    {kSqdTemperature, " -temperature"},
    {kSqdFormationConstant, " -formation constant"},
    {kSqdStoichiometry, " -stoichiometric coef."},
    {kSqdKey, " -KEY value"},
    {kSqdReactantIndex, " -index of reactant"},
    {kSqdPrintControl, " -print control for species"},
    {kSqdVesselMillimoles, " -millimoles of reactant"},
    {kSqdBuretteConcentration, " -reactant in burette"},
    {kSqdRefinementKey, " -refinement KEY"},
    {kSqdJcoul, " -JCOUL for coulometry"},
    {kSqdInitialVolume, " -Initial volume"},
    {kSqdTitreError, " -Error in titre volume"},
    {kSqdElectrodeType, " -Type of electrode"},
    {kSqdTransferredElectrons, " -Transferred electrons"},
    {kSqdIfcIndex, " -IFC index"},
    {kSqdEzero, " -EZERO potential"},
    {kSqdSigmae, " -SIGMAE error"},
    {kSqdLock, " -LOCK for standard electrode"},
    {kSqdSlope, " -SLOPE factor"},
    {kSqdTitre, ""},
    {kSqdEmf, " -EMFC first electrode"},
    {kSqdJump, " -JUMP flag"},
    {kSqdTooManySpecies, " -Too many reactions."},
    {kSqdTooManyPoints, " -Too many experimental points."},
    {kSqdNegativeConcentration, " -Reagent: a problem of negative concentration."},
};

const char* suffix(int code) {
  for (const Suffix& s : kSuffixes)
    if (s.code == code) return s.text;
  return nullptr;
}

}  // namespace

InputMessage superquadErrorMessage(int code, long long number) {
  InputMessage message;
  message.caption = "Data Input in SUPERQUQD Format";
  const char* text = suffix(code);
  if (text == nullptr) return message;
  if (code <= kSqdJump)
    message.text = "Data input error. Please, look line " + fmt::integer(number) + text;
  else
    message.text = "Data input error. " + fmt::integer(number) + text;
  return message;
}

void ShowSuperquadError(int code, long long number, Model& model, Platform& platform) {
  const InputMessage message = superquadErrorMessage(code, number);
  if (!message.text.empty())
    platform.showMessage(MessageKind::Error, message.caption, message.text, MessageButtons::Ok);
  model.ReadError = 1;
}

void ReadSuperquad(Model& model, InputText& input, TextWriter& echo, Platform& platform) {
  try {
    CardReader(model, input, echo).read();
    model.RunIncomplete = 0;
  } catch (const ReadFailure& failure) {
    if (failure.datMessage)
      ShowInputError(failure.detail, model, platform);
    else
      ShowSuperquadError(failure.code, failure.number, model, platform);
  }
}

}  // namespace tarvolin
