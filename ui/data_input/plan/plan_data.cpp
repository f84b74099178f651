#include "ui/data_input/plan/plan_data.h"

#include <string>

namespace tarvolin::data_input {

PlanData::PlanData() : ExpData(kPointRows + 1, 2), StabConst(kSpeciesRows + 1, 5) {
  setStandardHeadings(*this);
  numberRows(ExpData, 1, kPointRows);
  numberRows(StabConst, 1, kSpeciesRows);
}

void setStandardHeadings(PlanData& plan) {
  plan.ExpData.setCell(0, 0, "no.");
  plan.ExpData.setCell(0, kPropertyColumn, "Exp. Property");
  Grid& stab = plan.StabConst;
  stab.setCell(0, 0, "Chem.Equ.");
  stab.setCell(0, kLogBetaColumn, "Log BETA");
  stab.setCell(0, kFitBetaColumn, "Fit: Y/N");
  stab.setCell(0, kShiftColumn, "NMR Shift");
  stab.setCell(0, kFitShiftColumn, "Fit: Y/N");
}

void SetCreationDefaults(Model& m) {
  m.NSystems = 1;
  m.NCalcModels = 1;
  m.HeaderInt2 = 2;
  m.NReactants = 0;
  m.NSpecies = 0;
  m.NBlocks = 1;
  m.NPoints[1] = 0;
  m.Fo[1] = 0;
  m.BlockFactor[1] = 1;
  m.BlockWeight[1] = 1;
  m.Step = 0.12L;
  m.Tolerance = 1e-20L;
}

void SelectNmrDataType(PlanData& plan, Model& m) {
  plan.DataType = kDataTypeNmr;
  m.Method[1] = -1;
  setStandardHeadings(plan);
}

void numberRows(Grid& grid, int first, int last) {
  for (int r = first; r <= last; ++r) grid.setCell(r, 0, std::to_string(r));
}

std::string reactantLetter(int k) {
  if (k >= 1 && k <= 26) return std::string(1, static_cast<char>('A' + k - 1));
  if (k >= 27 && k <= 52) return std::string(1, static_cast<char>('a' + k - 27));
  return std::to_string(k);
}

}  // namespace tarvolin::data_input
