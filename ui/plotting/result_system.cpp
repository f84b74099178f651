#include "ui/plotting/result_system.h"

#include "base/text_file.h"
#include "model/limits.h"
#include "model/model.h"
#include "ui/plotting/curve_files.h"
#include "ui/plotting/data_sets.h"
#include "ui/plotting/percentage_plot.h"
#include "ui/plotting/plot_fields.h"

namespace tarvolin::plotting {

namespace {

constexpr std::string_view kSpeciesHeading = "All Parameter(s) for Equilibrium:";
constexpr std::string_view kPercentageHeading = "TABLE 3:";
// Column of lgBETA in a species row (0-based): after the number and the coefficients, in
// fields of three from the twelfth character, as many as the model can hold components.
constexpr std::size_t kLgBetaColumn = 11 + 3 * kMaxReactants;

bool isRule(std::string_view line) {
  return line.size() >= 10 && line.substr(0, 10) == "==========";
}

std::string_view trimmedRight(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line;
}

// Blocks of the last species table: the number of values after lgBETA in each of its rows, or 0
// when there is no such table or its rows disagree.
int blocksOfSpeciesTable(const std::vector<std::string>& lines) {
  std::size_t heading = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (trimmedRight(lines[i]) == kSpeciesHeading) heading = i;
  // The heading, a rule, the column captions, the rows, a rule.
  if (heading + 3 >= lines.size() || !isRule(lines[heading + 1])) return 0;
  int blocks = 0;
  int species = 0;
  for (std::size_t i = heading + 3; i < lines.size() && !isRule(lines[i]); ++i) {
    const std::string_view row = lines[i];
    const auto number = parsePlotInteger(row.substr(0, std::min<std::size_t>(row.size(), 3)));
    if (!number || *number != ++species || row.size() <= kLgBetaColumn) return 0;
    const int values = static_cast<int>(splitFields(row.substr(kLgBetaColumn)).size()) - 1;
    if (values < 1 || (blocks > 0 && values != blocks)) return 0;
    blocks = values;
  }
  return blocks <= kMaxBlocks ? blocks : 0;
}

// The offered components and the species from the column headings of the last percentage
// table; left empty when they do not read.
void readPercentageColumns(const std::vector<std::string>& lines, ReportTables& tables) {
  std::size_t table = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].starts_with(kPercentageHeading)) table = i;
  if (table + 3 >= lines.size()) return;
  std::vector<int> offered;
  const std::string& titles = lines[table + 2];
  for (auto at = titles.find("%Cb("); at != std::string::npos; at = titles.find("%Cb(", at + 1)) {
    const auto close = titles.find(')', at);
    if (close == std::string::npos) return;
    const auto k = parsePlotInteger(std::string_view(titles).substr(at + 4, close - at - 4));
    if (!k || *k < 1 || *k > kMaxReactants || (!offered.empty() && *k <= offered.back())) return;
    offered.push_back(*k);
  }
  const std::string& headings = lines[table + 3];
  const std::string_view group = std::string_view(headings).substr(0, headings.find('|'));
  int NS = 0;
  for (auto at = group.find("C("); at != std::string_view::npos; at = group.find("C(", at + 1))
    ++NS;
  if (offered.empty() || NS < 1 || NS > kMaxSpecies) return;
  tables.offered = std::move(offered);
  tables.NS = NS;
}

}  // namespace

int ResultSystem::pointsOf(int dataSetIndex) const {
  return dataSetIndex >= 0 && static_cast<std::size_t>(dataSetIndex) < points.size()
             ? points[dataSetIndex]
             : 0;
}

ResultSystem resultSystemOf(const Model& m) {
  ResultSystem system;
  system.dataSets = m.NBlocks;
  system.NS = m.NSpecies;
  system.offered = offeredComponents(m);
  for (int b = 1; b <= m.NBlocks; ++b) system.points.push_back(m.NPoints[b]);
  return system;
}

bool curveWindowsWanted(const Model& m) {
  if (m.NBlocks < 1) return false;
  const int code = m.Method[m.NBlocks];
  return (isBatchMethod(code) && m.MonotonicData == 1) || isTitrationMethod(code);
}

ReportTables parseReportTables(std::string_view reportText) {
  const std::vector<std::string> lines = splitLines(reportText);
  ReportTables tables;
  tables.blocks = blocksOfSpeciesTable(lines);
  readPercentageColumns(lines, tables);
  return tables;
}

int curveFilePoints(const std::string& fileName) {
  std::string text;
  if (!readWholeFile(fileName, text)) return 0;
  for (const std::string& line : splitLines(text)) {
    const auto fields = splitFields(line);
    if (fields.empty()) continue;
    const auto count = parsePlotInteger(fields[0]);
    return count && *count >= 0 && *count <= kCurveCapacity ? *count : 0;
  }
  return 0;
}

ResultSystem resultSystemOfReport(const std::string& reportName) {
  ResultSystem system;
  std::string text;
  const ReportTables tables =
      readWholeFile(reportName, text) ? parseReportTables(text) : ReportTables{};
  system.NS = tables.NS;
  system.offered = tables.offered;
  system.dataSets = tables.blocks;
  if (system.dataSets == 0) {
    while (system.dataSets < kMaxBlocks &&
           fileCanBeOpened(dataSetFileName(reportName, system.dataSets, ".GAR")))
      ++system.dataSets;
  }
  for (int s = 0; s < system.dataSets; ++s)
    system.points.push_back(curveFilePoints(dataSetFileName(reportName, s, ".ECP")));
  return system;
}

}  // namespace tarvolin::plotting
