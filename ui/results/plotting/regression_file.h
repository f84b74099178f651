#pragma once
// Loading the measured-versus-calculated data of one data set from its REG file: a header
// line, then one line per point with Ycalc in characters 1-14, Yexp in 16-29 and the point's
// number in 31-35. Lines whose fields do not convert are skipped without a message.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/real.h"
#include "ui/results/plotting/plot_geometry.h"
#include "ui/results/plotting/regression_statistics.h"

namespace tarvolin::plotting {

// The points as read, in file order (also the copies the hover and click tests use).
struct RegressionData {
  std::string titleSuffix;  // the header's text before its first " Yexp"
  std::vector<Real> Ycalc;
  std::vector<Real> Yexp;
  std::vector<std::int32_t> PointNo;
  int N() const { return static_cast<int>(Ycalc.size()); }
};

// Parses the text of a REG file (lines split at CR LF, LF or CR).
RegressionData parseRegressionText(std::string_view text, char separator);

enum class RegressionLoadStatus {
  missingFile,      // warning message; the plot-ready flag stays cleared
  tooFewPoints,     // two valid points or fewer: no message, flag cleared, window not shown
  degenerateRange,  // information message; flag set, nothing but the status bar is painted
  ready,            // flag set, plot drawn
};

// Everything the plot is drawn from.
struct RegressionPlot {
  RegressionData data;
  Regression fit;
  Range x;  // of Ycalc: the axes span exactly the data
  Range y;  // of Yexp
  SortedLine line;
};

struct RegressionLoad {
  RegressionLoadStatus status = RegressionLoadStatus::missingFile;
  std::string message;  // the message box text; empty when none is shown
  RegressionPlot plot;
  // LinRegPlotOK: set by a load that found more than two points.
  bool plotReady() const {
    return status == RegressionLoadStatus::degenerateRange || status == RegressionLoadStatus::ready;
  }
};

// Reads the named file, computes the regression and the ranges. The name appears in the
// messages as given.
RegressionLoad loadRegressionFile(const std::string& fileName, char separator);

// Window caption while a file is shown.
std::string regressionCaption(const std::string& fileName);

}  // namespace tarvolin::plotting
