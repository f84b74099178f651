#include "ui/data_input/plan/reactants.h"

#include <vector>

#include "base/number_format.h"

namespace tarvolin::data_input {

namespace {

// Reactant number of a name, 0 when none carries it.
int findReactant(const PlanData& plan, const std::string& typedName) {
  const std::string name = trimmed(typedName);
  for (int k = 1; k <= plan.reactantCount(); ++k)
    if (plan.reactantName(k) == name) return k;
  return 0;
}

// Free-reactant row k: the reactant as a species of its own, lgBETA 0 and the shift still to
// be typed, its coefficients the identity row. The identity goes by position, so that two
// reactants of the same name still get one coefficient 1 each.
void setFreeReactantRow(Grid& stab, int k, int reactants) {
  stab.setCell(k, kLogBetaColumn, "0.0");
  stab.setCell(k, kFitBetaColumn, "N");
  stab.setCell(k, kShiftColumn, "?.?");
  stab.setCell(k, kFitShiftColumn, "N");
  for (int r = 1; r <= reactants; ++r) stab.setCell(k, stoichColumn(r), r == k ? "1" : "0");
}

void setIdentityColumns(Grid& stab, int reactants) {
  for (int k = 1; k <= reactants; ++k)
    for (int r = 1; r <= reactants; ++r) stab.setCell(k, stoichColumn(r), r == k ? "1" : "0");
}

// Product rows n..last move to n+1..last+1; a row still labelled with its number keeps a
// number label.
void makeRoomForFreeReactant(Grid& stab, int n) {
  int last = 0;
  for (int r = n; r <= kSpeciesRows; ++r)
    if (stab.rowHasData(r) || stab.cell(r, 0) != std::to_string(r)) last = r;
  if (last == 0) return;
  // The last row is refused beforehand when it holds data; a bare label there may go.
  if (last == kSpeciesRows) last = kSpeciesRows - 1;
  stab.shiftRowsDown(n, last);
  for (int r = n + 1; r <= last + 1; ++r)
    if (stab.cell(r, 0) == std::to_string(r - 1)) stab.setCell(r, 0, std::to_string(r));
}

}  // namespace

std::optional<Notice> NewReactantRefusal(const PlanData& plan) {
  if (plan.reactantCount() >= kMaxReactants)
    return informationNotice("Maximal number of Reactants = " + fmt::integer(kMaxReactants) + ".");
  if (plan.StabConst.rowHasData(kSpeciesRows))
    return informationNotice("Too many species in solution: it is more than " +
                             fmt::integer(kMaxSpecies));
  return std::nullopt;
}

void AddReactant(PlanData& plan, const std::string& typedName) {
  if (NewReactantRefusal(plan)) return;
  const int n = plan.reactantCount() + 1;
  std::string name = trimmed(typedName);
  if (name.empty()) name = reactantLetter(n);

  Grid& stab = plan.StabConst;
  plan.ExpData.appendColumn();
  stab.appendColumn();
  plan.ExpData.setCell(0, concentrationColumn(n), name);
  stab.setCell(0, stoichColumn(n), name);

  makeRoomForFreeReactant(stab, n);
  stab.clearRows(n, n);
  stab.setCell(n, 0, name);
  setFreeReactantRow(stab, n, n);
  setIdentityColumns(stab, n);
  plan.CurveShown = false;
}

std::optional<Notice> RemoveReactantRefusal(const PlanData& plan) {
  if (plan.reactantCount() == 0) return informationNotice("There is no Reactant to remove");
  return std::nullopt;
}

std::optional<Notice> ReactantNameRefusal(const PlanData& plan, const std::string& typedName) {
  if (findReactant(plan, typedName) == 0)
    return informationNotice("There is no Reactant named '" + typedName + "'");
  return std::nullopt;
}

std::string RemoveConfirmation(const std::string& typedName) {
  return "You are sure to remove reactant  " + typedName;
}

bool RemoveReactant(PlanData& plan, const std::string& typedName) {
  const int k = findReactant(plan, typedName);
  if (k == 0) return false;
  const int n = plan.reactantCount();
  Grid& stab = plan.StabConst;
  plan.ExpData.removeColumn(concentrationColumn(k));
  stab.removeColumn(stoichColumn(k));

  // The remaining reactants as free species, in their order; every product goes, since its
  // composition was written in terms of the old set of reactants.
  for (int r = 1; r <= n - 1; ++r) {
    stab.setCell(r, 0, plan.reactantName(r));
    setFreeReactantRow(stab, r, n - 1);
  }
  stab.clearRows(n, kSpeciesRows);
  numberRows(stab, n, kSpeciesRows);
  plan.CurveShown = false;
  return true;
}

}  // namespace tarvolin::data_input
