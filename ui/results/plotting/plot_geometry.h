#pragma once
// Pixel geometry shared by the result windows: the client rectangle, the data ranges, the two
// ways a real coordinate becomes a pixel (nearest with halves to even, or truncation), the
// layout constants of the plot frame and the colours the plots use.

#include <cstdint>
#include <span>
#include <string>

#include "base/real.h"

namespace tarvolin::plotting {

struct Pixel {
  int x = 0;
  int y = 0;
  bool operator==(const Pixel&) const = default;
};

// Bounding box of a circle or dot, both corners on the shape's outline.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Box&) const = default;
};

// The window's client area in pixels; y grows downwards.
struct ClientRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct Range {
  Real min = 0;
  Real max = 0;
  Real span() const { return max - min; }
};

// Smallest and largest value; an empty list gives {0, 0}.
Range rangeOf(std::span<const Real> values);
Range rangeOf(std::span<const float> values);

// Layout of every plot window: the unit h, the margin M = 4h around the data area, the tick
// length 2h/3 and the half-height of the 8-point labels used to centre them on a tick.
inline constexpr int kUnit = 12;
inline constexpr int kMargin = 4 * kUnit;
inline constexpr int kTickLength = 8;
inline constexpr int kLabelHalfHeight = 6;

// A range this narrow cannot be spread over the data area of the curve windows.
inline constexpr Real kFlatRange = 1E-12L;

// Pixel from a real coordinate: nearest integer with halves to even, or truncated towards
// zero. Coordinates far outside any screen (a calculated value far off the data) are held at
// +-1E9 so that they stay drawable integers; NaN gives 0.
int roundPixel(Real v);
int truncatePixel(Real v);

// One tick of an axis: the value it marks, its label, the two ends of the tick mark and the
// top-left corner of the label.
struct AxisTick {
  Real value = 0;
  std::string label;
  Pixel from;
  Pixel to;
  Pixel labelAt;
};

// Colours as 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kRed = 0xFF0000;
inline constexpr Rgb kLime = 0x00FF00;
inline constexpr Rgb kNavy = 0x000080;
inline constexpr Rgb kPurple = 0x800080;
inline constexpr Rgb kGrey = 0x808080;
inline constexpr Rgb kPaleGreen = 0xC0DCC0;

}  // namespace tarvolin::plotting
