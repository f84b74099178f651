#include "ui/data_input/plan/grid_data.h"

#include <string>
#include <vector>

#include "base/number_format.h"
#include "ui/data_input/plan/test_data.h"

namespace tarvolin::data_input {

void GridData(PlanData& plan, const Model& m) {
  const int n = m.NReactants;
  const char sep = plan.DecimalSeparator;
  const auto real = [sep](Real x) { return fmt::general(x, sep); };
  const auto yesNo = [](int flag) { return std::string(flag == 1 ? "Y" : "N"); };

  Grid& exp = plan.ExpData;
  Grid& stab = plan.StabConst;
  exp.setColumnCount(n + 2);
  stab.setColumnCount(n + 5);
  exp.clearRows(1, kPointRows);
  stab.clearRows(1, kSpeciesRows);
  numberRows(exp, 1, kPointRows);
  numberRows(stab, 1, kSpeciesRows);
  setStandardHeadings(plan);
  plan.DataType = kDataTypeNmr;

  std::vector<std::string> names;
  for (int k = 1; k <= n; ++k) {
    names.push_back(reactantLetter(k));
    exp.setCell(0, concentrationColumn(k), names.back());
    stab.setCell(0, stoichColumn(k), names.back());
    stab.setCell(k, 0, names.back());
  }

  for (int p = 1; p <= m.NPoints[1]; ++p) {
    exp.setCell(p, kPropertyColumn, real(m.Yexp[p]));
    for (int k = 1; k <= n && k <= m.NInputReagents; ++k)
      exp.setCell(p, concentrationColumn(k), real(m.Ct[p][k]));
  }

  for (int s = 1; s <= m.NSpecies; ++s) {
    stab.setCell(s, kLogBetaColumn, real(m.lgBETA[s]));
    stab.setCell(s, kFitBetaColumn, yesNo(m.FitBeta[s]));
    stab.setCell(s, kShiftColumn, real(m.AV[s][1]));
    stab.setCell(s, kFitShiftColumn, yesNo(m.FitAV[s][1]));
    std::vector<int> coefficients;
    for (int k = 1; k <= n; ++k) {
      coefficients.push_back(m.Stoich[s][k]);
      stab.setCell(s, stoichColumn(k), fmt::integer(m.Stoich[s][k]));
    }
    if (s > n) stab.setCell(s, 0, productName(names, coefficients));
  }

  plan.EditStep = real(m.Step);
  plan.FitSysErr = m.FitBlock[1] == 1;
}

}  // namespace tarvolin::data_input
