#include "ui/data_input/plan/test_data.h"

#include <cctype>
#include <optional>

#include "base/number_format.h"
#include "ui/data_input/plan/cell_numbers.h"

namespace tarvolin::data_input {

namespace {

// Runs the checks in the order of the grids, collecting the messages.
class GridCheck {
 public:
  GridCheck(PlanData& plan, Model& model) : plan_(plan), m_(model) {}

  Notices run();

 private:
  bool fail(std::string text) {
    notices_.push_back(informationNotice(std::move(text)));
    plan_.DataError = true;
    return false;
  }
  void count(std::string text) {
    if (!plan_.QuietTest) notices_.push_back(informationNotice(std::move(text)));
  }
  bool real(const std::string& cell, Real& value) const {
    return FloatData(cell, plan_.DecimalSeparator, value);
  }

  void setBlock();
  bool setReactants();
  bool readPoints();
  bool readSpecies();
  bool readSpeciesRow(int s);
  void nameProducts();
  void setSettings();

  PlanData& plan_;
  Model& m_;
  Notices notices_;
};

// Fit flags: the first character "Y" (either case) means refined.
std::uint8_t fitFlag(const std::string& cell) {
  const std::string t = trimmed(cell);
  return !t.empty() && std::toupper(static_cast<unsigned char>(t[0])) == 'Y' ? 1 : 0;
}

void GridCheck::setBlock() {
  m_.NSystems = 1;
  m_.NCalcModels = 1;
  m_.HeaderInt2 = 2;
  m_.NBlocks = 1;
  if (plan_.DataType == kDataTypeNmr) {
    m_.Method[1] = -1;
    m_.Fo[1] = 0;
    m_.BlockFactor[1] = 1;
    m_.BlockWeight[1] = 1;
  }
  m_.IncrementMode[1] = 0;
}

bool GridCheck::setReactants() {
  const int n = plan_.reactantCount();
  plan_.Title = "Exp. method: " + plan_.DataType + "; Reagents:";
  for (int k = 1; k <= n; ++k) plan_.Title += " " + plan_.reactantName(k);
  m_.Title = plan_.Title;

  // Each reactant is given by its own total concentration: input reagent i is species i.
  m_.NReactants = static_cast<std::uint8_t>(n);
  m_.NInputReagents = static_cast<std::uint8_t>(n);
  for (int i = 1; i <= n; ++i) {
    m_.ReagentSpecies[i] = static_cast<std::uint8_t>(i);
    m_.ReactantPrintFlag[i] = 1;
    m_.Purity[i] = 1;
    m_.FitPurity[i] = 0;
  }
  if (n == 0) return fail("You must have at least ONE Reactant.");
  return true;
}

bool GridCheck::readPoints() {
  const Grid& exp = plan_.ExpData;
  int points = 0;
  m_.NPoints[1] = 0;
  for (int r = 1; r <= kPointRows; ++r) {
    if (isBlank(exp.cell(r, kPropertyColumn))) break;
    Real y = 0;
    if (!real(exp.cell(r, kPropertyColumn), y))
      return fail("Incorrect exp. PROPERTY for experimental point " + fmt::integer(points + 1));
    ++points;
    m_.NPoints[1] = static_cast<std::uint16_t>(points);
    m_.growPoints(points);
    m_.Yexp[points] = m_.YexpRead[points] = y;
    for (int k = 1; k <= m_.NReactants; ++k) {
      if (!real(exp.cell(r, concentrationColumn(k)), m_.Ct[points][k]))
        return fail("Incorrect concentration: Exp. point " + fmt::integer(points) + "; Reactant " +
                    plan_.reactantName(k));
    }
    // The observed property is per unit total of the NMR-observed reactant (the first).
    m_.PointFactor[points] = m_.Ct[points][1] > 0 ? 1 / m_.Ct[points][1] : 0;
  }
  count("Number of Experimental Points = " + fmt::integer(points));
  // A block without points cannot be fitted, and its DAT file would be refused by a run.
  if (points == 0) return fail("Incorrect exp. PROPERTY for experimental point 1");
  return true;
}

bool GridCheck::readSpeciesRow(int s) {
  const Grid& stab = plan_.StabConst;
  m_.FitBeta[s] = fitFlag(stab.cell(s, kFitBetaColumn));
  if (!real(stab.cell(s, kShiftColumn), m_.AV[s][1]))
    return fail("Incorrect NMR Shift for Compound " + fmt::integer(s));
  m_.FitAV[s][1] = fitFlag(stab.cell(s, kFitShiftColumn));
  for (int k = 1; k <= m_.NReactants; ++k) {
    long long v = 0;
    // The coefficient table is 8-bit; a larger one would wrap into another compound.
    if (!IntegData(stab.cell(s, stoichColumn(k)), v) || v < -128 || v > 127)
      return fail("Incorrect Stoichiometric Coefficient for Compound " + fmt::integer(s));
    m_.Stoich[s][k] = static_cast<std::int8_t>(v);
  }
  return true;
}

bool GridCheck::readSpecies() {
  const Grid& stab = plan_.StabConst;
  m_.NSpecies = 0;
  for (int s = 1; s <= kSpeciesRows; ++s) {
    if (isBlank(stab.cell(s, kLogBetaColumn))) break;
    Real lgBETA = 0;
    if (!real(stab.cell(s, kLogBetaColumn), lgBETA))
      return fail("Incorrect Log BETA for Compound " + fmt::integer(m_.NSpecies + 1));
    m_.NSpecies = static_cast<std::uint8_t>(s);
    m_.growTables();
    m_.lgBETA[s] = lgBETA;
    if (!readSpeciesRow(s)) return false;
  }
  count("Number of Compounds in Chem. Equilibrium = " + fmt::integer(m_.NSpecies));
  if (m_.NSpecies <= m_.NReactants) return fail("You must have at least ONE Reaction.");
  return true;
}

void GridCheck::nameProducts() {
  std::vector<std::string> names;
  for (int k = 1; k <= m_.NReactants; ++k) names.push_back(plan_.reactantName(k));
  for (int s = m_.NReactants + 1; s <= m_.NSpecies; ++s) {
    std::vector<int> coefficients;
    for (int k = 1; k <= m_.NReactants; ++k) coefficients.push_back(m_.Stoich[s][k]);
    plan_.StabConst.setCell(s, 0, productName(names, coefficients));
  }
  plan_.Title += "; Product(s):" + plan_.StabConst.cell(m_.NSpecies, 0);
  m_.Title = plan_.Title;
}

void GridCheck::setSettings() {
  m_.FitBlock[1] = plan_.FitSysErr ? 1 : 0;
  Real step = 0;
  m_.Step = real(plan_.EditStep, step) ? step : 0.12L;
  m_.ReadError = 0;
  m_.RunIncomplete = 0;
}

Notices GridCheck::run() {
  plan_.DataError = false;
  setBlock();
  if (setReactants() && readPoints() && readSpecies()) {
    nameProducts();
    setSettings();
  }
  return std::move(notices_);
}

}  // namespace

Notices TestData(PlanData& plan, Model& model) { return GridCheck(plan, model).run(); }

std::string productName(const std::vector<std::string>& names,
                        const std::vector<int>& coefficients) {
  std::string name;
  for (std::size_t k = 0; k < names.size() && k < coefficients.size(); ++k) {
    const int c = coefficients[k];
    if (c == 1)
      name += names[k];
    else if (c > 1)
      name += names[k] + fmt::integer(c);
    else if (c < 0)
      name += names[k] + "(" + fmt::integer(c) + ")";
  }
  return name;
}

}  // namespace tarvolin::data_input
