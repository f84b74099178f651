#include "ui/results/plotting/regression_file.h"

#include "base/text_file.h"
#include "ui/results/plotting/plot_fields.h"

namespace tarvolin::plotting {

namespace {

// Characters first..last (1-based) of a line; shorter lines give what they have.
std::string_view columns(std::string_view line, std::size_t first, std::size_t last) {
  if (line.size() < first) return {};
  return line.substr(first - 1, last - first + 1);
}

}  // namespace

RegressionData parseRegressionText(std::string_view text, char separator) {
  RegressionData data;
  const std::vector<std::string> lines = splitLines(text);
  if (lines.empty()) return data;
  const std::string& header = lines.front();
  data.titleSuffix = header.substr(0, std::min(header.find(" Yexp"), header.size()));
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const auto Ycalc = parsePlotReal(columns(line, 1, 14), separator);
    const auto Yexp = parsePlotReal(columns(line, 16, 29), separator);
    const auto number = parsePlotInteger(columns(line, 31, 35));
    if (!Ycalc || !Yexp || !number) continue;
    data.Ycalc.push_back(*Ycalc);
    data.Yexp.push_back(*Yexp);
    data.PointNo.push_back(*number);
  }
  return data;
}

RegressionLoad loadRegressionFile(const std::string& fileName, char separator) {
  RegressionLoad load;
  std::string text;
  if (!readWholeFile(fileName, text)) {
    load.status = RegressionLoadStatus::missingFile;
    load.message = "PLOT Yexp. vs Ycalc.: Cannot find file " + fileName;
    return load;
  }
  RegressionPlot& plot = load.plot;
  plot.data = parseRegressionText(text, separator);
  if (plot.data.N() <= 2) {
    load.status = RegressionLoadStatus::tooFewPoints;
    return load;
  }
  plot.fit = regressYexpOnYcalc(plot.data.Ycalc, plot.data.Yexp);
  plot.x = rangeOf(plot.data.Ycalc);
  plot.y = rangeOf(plot.data.Yexp);
  if (plot.x.span() == 0 || plot.y.span() == 0) {
    load.status = RegressionLoadStatus::degenerateRange;
    load.message = "PLOT Y vs X: Could not plot data set: min = max.";
    return load;
  }
  plot.line = sortedRegressionLine(plot.data.Ycalc, plot.fit);
  load.status = RegressionLoadStatus::ready;
  return load;
}

std::string regressionCaption(const std::string& fileName) {
  return "P L O T :   Yexp.  vs  Ycalc.;  File: " + fileName;
}

}  // namespace tarvolin::plotting
