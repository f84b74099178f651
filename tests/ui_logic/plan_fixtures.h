#pragma once
// Grids of the data-input window filled as a chemist would fill them: 4-(dimethylamino)pyridine
// (reactant A) and zinc(II) triflate (reactant B) in CD3CN, the shift of the pyridine's H2,6
// protons at five batch points, with the complexes AB and A2B.

#include <string>
#include <vector>

#include "base/text_file.h"
#include "tests/support/test_support.h"
#include "ui/data_input/plan/notice.h"
#include "ui/data_input/plan/plan_data.h"
#include "ui/data_input/plan/reactants.h"

namespace tarvolin::test {

using namespace tarvolin::data_input;

// The texts of the notices, in order.
inline std::vector<std::string> texts(const Notices& notices) {
  std::vector<std::string> out;
  for (const Notice& n : notices) out.push_back(n.text);
  return out;
}

// The rows of a table under tests/data/ui/, its fields split at "|"; "#" lines are comments.
inline std::vector<std::vector<std::string>> tableRows(const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : splitLines(readFile(sourcePath("tests/data/ui/" + name)))) {
    if (line.empty() || line[0] == '#') continue;
    rows.emplace_back();
    for (std::size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 1) {
      bar = line.find('|', from);
      rows.back().push_back(line.substr(from, bar - from));
    }
  }
  return rows;
}

inline void setRow(Grid& grid, int row, const std::vector<std::string>& cells) {
  for (std::size_t c = 0; c < cells.size(); ++c)
    grid.setCell(row, static_cast<int>(c) + 1, cells[c]);
}

// The reactants named by their letters and the cells in the form the window itself writes when
// it reads a file, so that grids can be compared after a save and an open.
inline void fillZincPyridine(PlanData& plan) {
  AddReactant(plan, "");
  AddReactant(plan, "");
  setRow(plan.ExpData, 1, {"8.19669129729", "0.019834711", "0.0016528926"});
  setRow(plan.ExpData, 2, {"8.17991133576", "0.019672131", "0.0032786885"});
  setRow(plan.ExpData, 3, {"8.16391246995", "0.019512195", "0.0048780488"});
  setRow(plan.ExpData, 4, {"8.1490377933", "0.019354839", "0.0064516129"});
  setRow(plan.ExpData, 5, {"8.13567416347", "0.0192", "0.008"});
  setRow(plan.StabConst, 1, {"0", "N", "8.214", "N", "1", "0"});
  setRow(plan.StabConst, 2, {"0", "N", "0", "N", "0", "1"});
  setRow(plan.StabConst, 3, {"2.9", "Y", "8.046", "Y", "1", "1"});
  setRow(plan.StabConst, 4, {"5.2", "Y", "16.204", "Y", "2", "1"});
}

}  // namespace tarvolin::test
