#pragma once
// Geometry of the measured-versus-calculated plot: Ycalc across, Yexp up, the data spread over
// the client area less a margin of 48 pixels (and 36 more on the left for the labels).
// Coordinates are rounded to the nearest pixel, halves to even.

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ui/results/plotting/plot_geometry.h"
#include "ui/results/plotting/regression_file.h"

namespace tarvolin::plotting {

inline constexpr int kRegressionPointRadius = 5;
inline constexpr const char* kRegressionTitle = "Yexp. vs Ycalc.;     ";  // + the title suffix
inline constexpr const char* kRegressionXCaption = "Ycalc.";
inline constexpr const char* kRegressionYCaption = "  Yexp.";

class RegressionLayout {
 public:
  // x and y must not be flat (the load refuses such data before anything is drawn).
  RegressionLayout(ClientRect client, Range x, Range y);

  int x0() const { return x0_; }          // Left + 36
  int width() const { return width_; }    // W = Right - X0 - 2M
  int height() const { return height_; }  // H = Bottom - Top - 2M
  // The mouse handlers read values only over a data area of positive size.
  bool hasDataArea() const { return width_ > 0 && height_ > 0; }

  // px(x) = X0 + M + W (x - Xmin) / (Xmax - Xmin); py(y) = Bottom - M - H (y - Ymin) / (...).
  int px(Real x) const;
  int py(Real y) const;

  // The frame 12 pixels outside the data area: top left, top right, bottom right, bottom left
  // (drawn closed).
  std::array<Pixel, 4> frame() const;
  // Five ticks per axis at Xmin + k (Xmax - Xmin) / 4, pixel X0 + M + k W / 4 (and likewise
  // upwards from Bottom - M), labelled like 5.00E-01. The vertical labels start half the width
  // of "H" right of the client's left edge.
  std::array<AxisTick, 5> xTicks(char separator) const;
  std::array<AxisTick, 5> yTicks(int widthOfH, char separator) const;

  // Top-left corners of the texts, given their widths in the 8-point font.
  Pixel titleAt(int titleWidth) const;
  Pixel xCaptionAt(int widthOfH) const;
  Pixel yCaptionAt() const;

  // Circle of a point (outline black, fill white or lime when selected).
  Box pointBox(Real Ycalc, Real Yexp) const;

  // The red regression line through the sorted points.
  std::vector<Pixel> regressionLine(const SortedLine& line) const;
  // The two lines Yexp = Ycalc + 3s and Yexp = Ycalc - 3s across the Ycalc range.
  std::array<std::array<Pixel, 2>, 2> bandLines(Real s) const;
  // Grey pixels of the 95 % confidence band of the line at 500 steps across the Ycalc range:
  // yfit +- 1.96 s sqrt((x - xMean)^2 / Sxx + 1 / N), upper and lower pixel of each step in
  // turn. Empty when Sxx is not positive.
  std::vector<Pixel> confidenceBand(const Regression& fit, int N) const;

  // Top-left corners of the two statistics lines (9-point font): the first at 3/8 of the
  // data area's width and 1/8 of its height above its bottom, the second two text heights
  // above it.
  Pixel regressionLineAt() const;
  Pixel agreementLineAt(int textHeight) const;

  // The two statistics lines laid out to stay inside the client area: at the places above when
  // both fit there; otherwise moved left as far as the wider one needs, and when they do not fit
  // from the frame's left edge either, broken after their "; " separators into as many lines as
  // they need. The regression line keeps
  // its last line where it stood and the agreement line its distance of two text heights above
  // the regression line's first. `width` measures a text in the 9-point font.
  struct PlacedText {
    Pixel at;
    std::string text;
  };
  std::vector<PlacedText> statisticsLines(
      const std::string& regression, const std::string& agreement, int textHeight,
      const std::function<int(const std::string&)>& width) const;

  // The hover read-out "Ycalc.  = ...;     Yexp. = ...;     D = ..." for the mouse at (mx, my);
  // nothing without a data area.
  std::optional<std::string> readout(int mx, int my, char separator) const;

  // The first point in file order whose pixel lies within 4 pixels of the mouse in both
  // directions: its 1-based index, or 0 when none.
  int hitTest(int mx, int my, std::span<const Real> Ycalc, std::span<const Real> Yexp) const;

 private:
  Real exactX(Real x) const;
  Real exactY(Real y) const;
  ClientRect client_;
  Range x_;
  Range y_;
  int x0_;
  int width_;
  int height_;
};

}  // namespace tarvolin::plotting
