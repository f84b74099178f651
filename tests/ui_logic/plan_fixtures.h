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
  for (const auto& row : tableRows("zinc_pyridine_grids.txt"))
    setRow(row[0] == "points" ? plan.ExpData : plan.StabConst, std::stoi(row[1]),
           {row.begin() + 2, row.end()});
}

}  // namespace tarvolin::test
