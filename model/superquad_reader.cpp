#include "model/superquad_reader.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <numbers>
#include <string>
#include <string_view>

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

// Column k (1-based) of a field; a blank where the line ended before it.
char column(std::string_view field, std::size_t k) {
  return k <= field.size() ? field[k - 1] : ' ';
}

// Numbers are right-aligned in their columns: leading blanks are allowed, anything after the
// number (trailing blanks included) makes the field invalid, and so does a field without a
// number.
std::string_view afterLeadingBlanks(std::string_view field) {
  const std::size_t start = field.find_first_not_of(' ');
  return start == field.npos ? std::string_view() : field.substr(start);
}

bool integerField(std::string_view field, long long& value) {
  const std::string_view text = afterLeadingBlanks(field);
  return !text.empty() && parseIntegerWord(text, value);
}

bool realField(std::string_view field, Real& value) {
  const std::string_view text = afterLeadingBlanks(field);
  if (text.empty()) return false;
  // A refused out-of-range number must not leave an overflow flag behind for the run's
  // floating-point check: the conversion runs with the flags saved and restored.
  std::fenv_t saved;
  std::feholdexcept(&saved);
  const bool ok = parseRealWord(text, value);
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

// Reads the card groups in order and fills the model. Every check throws ReadFailure.
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
  void readReagents();
  void appendTitrantReagent();
  void readInitialVolume();
  void readElectrode();
  void readPoints();
  void completeBlock();
  void readStep();

  Model& m_;
  InputText& in_;
  TextWriter& echo_;

  std::string card_;
  std::size_t pos_ = 0;
  bool cardRead_ = false;  // false once the input has ended

  Real celsius_ = 0;
  int ifc_ = 1;               // reactant whose free concentration the electrode senses
  Real slopeFactor_ = 1;      // SLOPE of the electrode card
  int negativeReactant_ = 0;  // reactant given as a negative burette concentration
  Real negativeConcentration_ = 0;
};

void CardReader::nextCard() {
  pos_ = 0;
  cardRead_ = in_.readLine(card_);
  if (cardRead_) ++in_.line;
}

// The next `width` characters of the card, fewer where the card ends; echoed as read.
std::string_view CardReader::field(std::size_t width) {
  const std::size_t start = std::min(pos_, card_.size());
  const std::size_t length = std::min(width, card_.size() - start);
  pos_ = start + length;
  const std::string_view text(card_.data() + start, length);
  echo_.write(text);
  return text;
}

// The rest of the card is skipped; the echo line ends with the card.
void CardReader::endCard() {
  if (cardRead_) echo_.endLine();
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
// The list ends at a card shorter than 10 characters. Species beyond the table are counted
// but not stored, so that the message names the count the file asks for.
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
    if (head.size() < 10) {
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

// Group 7: one card per reactant with the species it is added as, the millimoles in the
// vessel and the burette concentration. A titrant such as hydroxide is written as a negative
// concentration of the proton reactant; it becomes an input reagent of its own.
void CardReader::readReagents() {
  m_.growTables();
  for (int r = 1; r <= m_.NReactants; ++r) {
    nextCard();
    const std::string_view controls = field(5);
    const char index = column(controls, 5);
    if (!isDigit(index) || index == '0') fail(kSqdReactantIndex, kGroupReagents);
    if (index - '0' > m_.NSpecies) failDat(kBadReagentIndex, index - '0', m_.NSpecies);
    const char print = column(controls, 3);
    if (print != ' ' && !isDigit(print)) fail(kSqdPrintControl, kGroupReagents);
    Real millimoles = 0;
    if (!realField(field(10), millimoles)) fail(kSqdVesselMillimoles, kGroupReagents);
    Real burette = 0;
    if (!realField(field(10), burette)) fail(kSqdBuretteConcentration, kGroupReagents);
    if (burette < 0) {
      if (negativeReactant_ != 0) fail(kSqdNegativeConcentration, r);
      negativeReactant_ = r;
      negativeConcentration_ = burette;
    }
    char keys[2];
    for (char& key : keys) {
      key = column(field(5), 5);
      if (key != ' ' && !isDigit(key)) fail(kSqdRefinementKey, kGroupReagents);
    }
    endCard();

    m_.ReagentSpecies[r] = static_cast<std::uint8_t>(index - '0');
    m_.ReactantPrintFlag[r] = print == ' ' ? 0 : static_cast<std::uint8_t>(print - '0');
    m_.C0[1][r] = millimoles;  // per ml once V0 is known
    m_.CTitrant[1][r] = burette < 0 ? 0 : burette;
    m_.Purity[r] = 1;
    // The key in column 35 decides whether the purity is refined.
    m_.FitPurity[r] = keys[1] == ' ' ? 0 : static_cast<std::uint8_t>(keys[1] - '0');
  }
  if (negativeReactant_ != 0) appendTitrantReagent();
}

// The titrant is the first species made of one negative unit of that reactant alone
// (hydroxide for the proton), added from the burette at the positive concentration.
void CardReader::appendTitrantReagent() {
  const int r = negativeReactant_;
  int titrant = 0;
  for (int s = 1; s <= m_.NSpecies && titrant == 0; ++s) {
    bool fits = m_.Stoich[s][r] == -1;
    for (int k = 1; k <= m_.NReactants && fits; ++k) fits = k == r || m_.Stoich[s][k] == 0;
    if (fits) titrant = s;
  }
  if (titrant == 0 || m_.NInputReagents + 1 > kMaxInputReagents) fail(kSqdNegativeConcentration, r);
  const int i = ++m_.NInputReagents;
  m_.growTables();
  m_.ReagentSpecies[i] = static_cast<std::uint8_t>(titrant);
  m_.C0[1][i] = 0;
  m_.CTitrant[1][i] = -negativeConcentration_;
  m_.Purity[i] = 1;
  m_.FitPurity[i] = 0;
}

// Group 9: the initial volume in ml, which turns the vessel millimoles into mol/l.
void CardReader::readInitialVolume() {
  nextCard();
  long long jcoul = 0;
  if (!integerField(field(5), jcoul)) fail(kSqdJcoul, kGroupVolume);
  Real v0 = 0;
  if (!realField(field(10), v0) || !(v0 > 0)) fail(kSqdInitialVolume, kGroupVolume);
  Real titreError = 0;
  if (!realField(field(10), titreError)) fail(kSqdTitreError, kGroupVolume);
  endCard();
  m_.V0[1] = v0;
  for (int i = 1; i <= m_.NInputReagents; ++i) m_.C0[1][i] = m_.C0[1][i] / v0;
}

// Group 10: the electrode. Type 0 (or blank) measures a potential, E = EZERO + slope lg[IFC];
// type 1 reads -lg[IFC] directly. IFC is the reactant the electrode responds to.
void CardReader::readElectrode() {
  nextCard();
  const std::string_view controls = field(5);
  const char type = column(controls, 1);
  if (type != ' ' && type != '0' && type != '1') fail(kSqdElectrodeType, kGroupElectrode);
  const char electrons = column(controls, 3);
  if (electrons != ' ' && !isDigit(electrons)) fail(kSqdTransferredElectrons, kGroupElectrode);
  const char ifc = column(controls, 5);
  if (ifc != ' ' && !isDigit(ifc)) fail(kSqdIfcIndex, kGroupElectrode);
  ifc_ = ifc == ' ' || ifc == '0' ? 1 : ifc - '0';
  if (ifc_ > m_.NReactants) fail(kSqdIfcIndex, kGroupElectrode);
  Real ezero = 0;
  if (!realField(field(10), ezero)) fail(kSqdEzero, kGroupElectrode);
  Real sigmae = 0;
  if (!realField(field(10), sigmae)) fail(kSqdSigmae, kGroupElectrode);
  long long lock = 0;
  if (const std::string_view text = field(5); !isBlank(text) && !integerField(text, lock))
    fail(kSqdLock, kGroupElectrode);
  slopeFactor_ = 0;
  if (const std::string_view text = field(10); !isBlank(text) && !realField(text, slopeFactor_))
    fail(kSqdSlope, kGroupElectrode);
  if (slopeFactor_ == 0) slopeFactor_ = 1;
  endCard();

  m_.IncrementMode[1] = 0;
  m_.Method[1] = type == '1' ? 1 : 8;
  m_.Fo[1] = m_.Method[1] == 8 ? ezero : 0;
  m_.BlockWeight[1] = 1;
  m_.FitBlock[1] = lock != 0 ? 1 : 0;
}

// Group 12: one card per reading, the titre being the total volume added so far. A card with
// a nonzero JUMP flag is left out; the list ends at a card whose titre is short or not a
// number. Points beyond the table are counted but not stored.
void CardReader::readPoints() {
  const int nr = m_.NInputReagents;
  const Real v0 = m_.V0[1];
  long long points = 0;
  Real previousTitre = 0;
  for (;;) {
    nextCard();
    const std::string_view titreText = field(10);
    Real titre = 0;
    if (titreText.size() < 10 || !realField(titreText, titre)) {
      endCard();
      break;
    }
    Real emf = 0;
    if (!realField(field(10), emf)) fail(kSqdEmf, kGroupPoints);
    field(10);
    long long jump = 0;
    if (const std::string_view text = field(5); !isBlank(text) && !integerField(text, jump))
      fail(kSqdJump, kGroupPoints);
    endCard();
    if (jump != 0) continue;
    if (++points > kMaxPoints) continue;
    const int p = static_cast<int>(points);
    m_.growPoints(p);
    m_.Yexp[p] = m_.YexpRead[p] = emf;
    m_.PointFactor[p] = 1;
    m_.VAdded[p] = titre - previousTitre;
    previousTitre = titre;
    // Totals after mixing the vessel solution with the titrant delivered so far.
    for (int i = 1; i <= nr; ++i)
      m_.Ct[p][i] = (m_.C0[1][i] * v0 + m_.CTitrant[1][i] * titre) / (v0 + titre);
  }
  if (points > kMaxPoints) fail(kSqdTooManyPoints, points);
  if (points == 0) failDat(kNoBlockPoints, 0);
  m_.NPoints[1] = static_cast<std::uint16_t>(points);
}

// The calculated property of the block: the electrode potential EZERO + slope lg[IFC] with
// the Nernst slope at the temperature read (method 8), or -lg[IFC] (method 1, a = 1).
void CardReader::completeBlock() {
  for (int s = 1; s <= m_.NSpecies; ++s) {
    m_.AV[s][1] = 0;
    m_.FitAV[s][1] = 0;
  }
  m_.BlockFactor[1] = 1;
  if (m_.Method[1] == 1) {
    m_.AV[ifc_][1] = 1;
    m_.a[1] = 1;
  } else {
    m_.AV[ifc_][1] = nernstSlope(slopeFactor_, celsius_);
  }
  m_.Tolerance = 1e-20L;
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
  readReagents();
  skipCard();  // group 8
  readInitialVolume();
  readElectrode();
  skipCard();  // group 11
  readPoints();
  completeBlock();
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
