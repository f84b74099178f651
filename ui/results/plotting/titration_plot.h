#pragma once
// The titration-curve plot: the measured property of every point against its number, with the
// calculated property as a cubic-spline curve through the calculated values, or as dots.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ui/results/plotting/curve_files.h"
#include "ui/results/plotting/curve_frame.h"

namespace tarvolin::plotting {

inline constexpr const char* kTitrationTitle = "EXPERIMENTAL AND CALCULATED PROPERTY";
inline constexpr const char* kTitrationXCaption = "no. of exp. point";
inline constexpr const char* kTitrationYCaption = "Yexp., Ycalc.";
inline constexpr int kTitrationYCaptionDx = -5;  // sideCaptionAt
inline constexpr const char* kTitrationFileExtension = ".ECP";
inline constexpr int kCalculatedDotHalfSize = 2;

struct TitrationPlot {
  std::string message;  // the information message; empty when the plot can be drawn
  // Measured points in file order (drawn and hover-tested in that order).
  std::vector<Real> expNo, Yexp;
  // Calculated points sorted by point number (equal numbers keep their file order).
  std::vector<Real> calcNo, Ycalc;
  // The ranges of the measured points only: calculated values beyond them are drawn outside
  // the data area.
  Range x, y;
  // False when two calculated points share a point number (or fewer than two exist): the
  // spline through them has no solution, so the calculated points are drawn as dots.
  bool splineDrawable = false;
};

// Reads the curve file and takes the ranges; a range of 1E-12 or less is refused.
TitrationPlot loadTitrationPlot(const std::string& fileName, char separator);
// The plot of a curve file read whole (measured half, then calculated half): the calculated
// points sorted by point number, the ranges of the measured half; no range test.
TitrationPlot titrationPlotOf(CurveFile& file);

CurveFrame titrationFrame(ClientRect client, const TitrationPlot& plot);

// Horizontal ticks at the integer point numbers round(Xmin + k (Xmax - Xmin) / 4), each at the
// rounded pixel of its number, labelled with the number in three characters.
std::array<AxisTick, 5> titrationXTicks(const CurveFrame& frame, char separator);

// Black circles (half-size 4) of the measured points; red filled dots (half-size 2) of the
// calculated points.
std::vector<Box> measuredPointBoxes(const CurveFrame& frame, const TitrationPlot& plot);
std::vector<Box> calculatedDotBoxes(const CurveFrame& frame, const TitrationPlot& plot);

// The purple spline curve: a move to (X0 + M, row of the first calculated value), then a line
// to the curve's pixel at every column X0 + M ... X0 + M + W. Only the first point without a
// data area or when the spline is not drawable.
std::vector<Pixel> calculatedCurve(const CurveFrame& frame, const TitrationPlot& plot);

// Status read-out "Experimental Point = ...;     Y = ..."; nothing without a data area.
std::optional<std::string> titrationReadout(const CurveFrame& frame, int mx, int my,
                                            char separator);

}  // namespace tarvolin::plotting
