#pragma once
// The residual plot: Yexp - Ycalc of every point against Ycalc, with a dashed zero line when
// the residuals change sign. A trend in it shows what the model misses.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ui/results/plotting/curve_frame.h"

namespace tarvolin::plotting {

inline constexpr const char* kResidualTitle = "GRAPHICAL ANALYSIS OF RESIDUALS";
inline constexpr const char* kResidualXCaption = "Ycalc.";
inline constexpr const char* kResidualYCaption = "Yexp. - Ycalc.";
inline constexpr int kResidualYCaptionDx = -9;  // sideCaptionAt
inline constexpr const char* kResidualFileExtension = ".GAR";

struct ResidualPlot {
  std::string message;  // the information message; empty when the plot can be drawn
  // The points in file order (for the hover test) and in ascending Ycalc (drawing order).
  std::vector<Real> Ycalc, D;
  std::vector<Real> sortedYcalc, sortedD;
  Range x, y;
};

// Reads the residual file and takes the ranges; a range of 1E-12 or less is refused.
ResidualPlot loadResidualPlot(const std::string& fileName, char separator);

CurveFrame residualFrame(ClientRect client, const ResidualPlot& plot);

// Horizontal ticks at Xmin + k (Xmax - Xmin) / 4, labelled like 5.00E-01.
std::array<AxisTick, 5> residualXTicks(const CurveFrame& frame, char separator);

// Ends of the red dashed zero line, from X0 + M - h to Right - M + h at the row of residual 0;
// drawn only when the residuals take both signs.
std::optional<std::array<Pixel, 2>> zeroLine(const CurveFrame& frame);

// Purple circles of half-size 4 in drawing order.
std::vector<Box> residualPointBoxes(const CurveFrame& frame, const ResidualPlot& plot);

// Status read-out "Ycalc. = ...;     Yexp. = ...;     (Yexp. - Ycalc.) = ..."; nothing without
// a data area.
std::optional<std::string> residualReadout(const CurveFrame& frame, int mx, int my, char separator);

}  // namespace tarvolin::plotting
