#pragma once
// The plot frame of the curve windows (residuals, titration curve, basic-component
// percentages): the data spread over the client area less a margin of 48 pixels and an x
// origin left of it; positions are truncated to pixels unless a step rounds them.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "ui/results/plotting/plot_geometry.h"

namespace tarvolin::plotting {

// Half-size of the square around a point within which the mouse hits it.
inline constexpr int kCurvePointHalfSize = 4;

// Information message for a range too flat to spread over the data area.
inline constexpr const char* kFlatRangeMessage =
    "Impossible to plot the data: Xmin = Xmax or Ymin = Ymax";

class CurveFrame {
 public:
  // originOffset: X0 = Left + originOffset (3h for the residual and titration windows, h for
  // the percentage window). The ranges must be wider than kFlatRange.
  CurveFrame(ClientRect client, Range x, Range y, int originOffset = 3 * kUnit);

  const ClientRect& client() const { return client_; }
  const Range& x() const { return x_; }
  const Range& y() const { return y_; }
  int x0() const { return x0_; }
  int width() const { return width_; }    // W = Right - X0 - 2M
  int height() const { return height_; }  // H = Bottom - Top - 2M
  // The data area's left edge X0 + M and bottom edge Bottom - M.
  int areaLeft() const { return x0_ + kMargin; }
  int areaBottom() const { return client_.bottom - kMargin; }
  // Hover and the curve need a data area of positive size.
  bool hasDataArea() const { return width_ > 0 && height_ > 0; }

  // px(x) = X0 + M + W (x - Xmin) / (Xmax - Xmin); py(y) = Bottom - M - H (y - Ymin) / (...),
  // unrounded.
  Real px(Real x) const;
  Real py(Real y) const;

  // The frame through (X0 + M - h, Top + M - h), (right, Top + M - h), (right, Bottom - M + h),
  // (X0 + M - h, Bottom - M + h), drawn closed; right is Right - M + h unless given.
  std::array<Pixel, 4> frame() const;
  std::array<Pixel, 4> frame(int right) const;

  // Five vertical ticks at Ymin + k (Ymax - Ymin) / 4, pixel Bottom - M - k H / 4, labelled
  // like 5.00E-01 half the width of "H" right of the client's left edge.
  std::array<AxisTick, 5> yTicks(int widthOfH, char separator) const;
  // A horizontal tick mark at pixel column x with its label's corner: the mark rises t pixels
  // from Bottom - M + h, the label stands at (labelX - t, Bottom - 3h + 5).
  AxisTick xTick(Real value, std::string label, int x, int labelX) const;

  // Bounding box of a mark of the given half-size around a point, each corner truncated.
  Box markBox(Real x, Real y, int halfSize) const;

  // The values under the mouse; nothing without a data area.
  std::optional<std::pair<Real, Real>> valueAt(int mx, int my) const;
  // The first point in file order whose rounded pixel lies within 3 pixels of the mouse in
  // both directions: its 1-based position, or 0 when none.
  int hitTest(int mx, int my, std::span<const Real> xs, std::span<const Real> ys) const;

  // Captions: the horizontal one right-aligned 3h from the right edge above the bottom, the
  // vertical one near the top left, dx right of Left + h.
  Pixel bottomCaptionAt(int captionWidth) const;
  Pixel sideCaptionAt(int dx) const;
  // A title centred across the client area, 12 pixels from the top.
  Pixel titleAt(int titleWidth) const;

 private:
  ClientRect client_;
  Range x_;
  Range y_;
  int x0_;
  int width_;
  int height_;
};

}  // namespace tarvolin::plotting
