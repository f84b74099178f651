#include "ui/results/plotting/result_system.h"

#include <algorithm>

#include "base/text_file.h"
#include "model/limits.h"
#include "model/model.h"
#include "ui/results/plotting/curve_files.h"
#include "ui/results/plotting/data_sets.h"
#include "ui/results/plotting/percentage_plot.h"
#include "ui/results/plotting/plot_fields.h"

namespace tarvolin::plotting {

namespace {

constexpr std::string_view kSystemHeading = "<<<<<<<<<<<<<<<<<<<<<<<<<<<< Calculated System:";
constexpr std::string_view kDataTableHeading = "TABLE 1: Experimental  Data:";
constexpr std::string_view kPercentageHeading = "TABLE 3:";

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

std::vector<ReportTables> parseReportSystems(std::string_view reportText) {
  const std::vector<std::string> lines = splitLines(reportText);
  // Each section runs from a system heading to the next; text before the first heading
  // (the banner) belongs to none unless there is no heading at all.
  std::vector<std::vector<std::string>> sections(1);
  bool headed = false;
  for (const std::string& line : lines) {
    if (line.starts_with(kSystemHeading)) {
      if (headed)
        sections.emplace_back();
      else
        sections.back().clear();
      headed = true;
    }
    sections.back().push_back(line);
  }
  std::vector<ReportTables> systems;
  for (const auto& section : sections) {
    ReportTables tables;
    for (const std::string& line : section) tables.blocks += line.starts_with(kDataTableHeading);
    tables.blocks = std::min(tables.blocks, kMaxBlocks);
    readPercentageColumns(section, tables);
    systems.push_back(std::move(tables));
  }
  return systems;
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

std::vector<ResultSystem> resultSystemsOfReport(const std::string& reportName) {
  std::string text;
  const std::vector<ReportTables> tables = readWholeFile(reportName, text)
                                               ? parseReportSystems(text)
                                               : std::vector<ReportTables>{ReportTables{}};
  std::vector<ResultSystem> systems;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    const int number = static_cast<int>(i);
    ResultSystem system;
    system.NS = tables[i].NS;
    system.offered = tables[i].offered;
    system.dataSets = tables[i].blocks;
    if (system.dataSets == 0 && tables.size() == 1) {
      while (system.dataSets < kMaxBlocks &&
             fileCanBeOpened(dataSetFileName(reportName, system.dataSets, ".GAR")))
        ++system.dataSets;
    }
    for (int s = 0; s < system.dataSets; ++s)
      system.points.push_back(curveFilePoints(dataSetFileName(reportName, s, ".ECP", number)));
    systems.push_back(std::move(system));
  }
  return systems;
}

std::vector<ResultSystem> resultSystemsOfRun(const Model& m, const std::string& reportName) {
  std::vector<ResultSystem> systems;
  if (m.NSystems > 1) systems = resultSystemsOfReport(reportName);
  systems.resize(std::max<std::size_t>(m.NSystems, 1));
  systems.back() = resultSystemOf(m);
  return systems;
}

}  // namespace tarvolin::plotting
