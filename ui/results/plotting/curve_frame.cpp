#include "ui/results/plotting/curve_frame.h"

#include <cstdlib>

#include "base/number_format.h"

namespace tarvolin::plotting {

namespace {

Real fractionOf(Real v, const Range& r) { return r.span() != 0 ? (v - r.min) / r.span() : 0; }

}  // namespace

CurveFrame::CurveFrame(ClientRect client, Range x, Range y, int originOffset)
    : client_(client),
      x_(x),
      y_(y),
      x0_(client.left + originOffset),
      width_(client.right - x0_ - 2 * kMargin),
      height_(client.bottom - client.top - 2 * kMargin) {}

Real CurveFrame::px(Real x) const { return areaLeft() + width_ * fractionOf(x, x_); }

Real CurveFrame::py(Real y) const { return areaBottom() - height_ * fractionOf(y, y_); }

std::array<Pixel, 4> CurveFrame::frame() const { return frame(client_.right - kMargin + kUnit); }

std::array<Pixel, 4> CurveFrame::frame(int right) const {
  const int left = areaLeft() - kUnit;
  const int top = client_.top + kMargin - kUnit;
  const int bottom = areaBottom() + kUnit;
  return {Pixel{left, top}, Pixel{right, top}, Pixel{right, bottom}, Pixel{left, bottom}};
}

std::array<AxisTick, 5> CurveFrame::yTicks(int widthOfH, char separator) const {
  std::array<AxisTick, 5> ticks;
  const int left = areaLeft() - kUnit;
  for (int k = 0; k < 5; ++k) {
    AxisTick& t = ticks[k];
    t.value = y_.min + k * y_.span() / 4;
    const int y = truncatePixel(areaBottom() - k * static_cast<Real>(height_) / 4);
    t.label = fmt::axisLabel(t.value, separator);
    t.from = {left, y};
    t.to = {left + kTickLength, y};
    t.labelAt = {client_.left + widthOfH / 2, y - kLabelHalfHeight};
  }
  return ticks;
}

AxisTick CurveFrame::xTick(Real value, std::string label, int x, int labelX) const {
  AxisTick t;
  t.value = value;
  t.label = std::move(label);
  const int base = areaBottom() + kUnit;
  t.from = {x, base};
  t.to = {x, base - kTickLength};
  t.labelAt = {labelX - kTickLength, client_.bottom - 3 * kUnit + 5};
  return t;
}

Box CurveFrame::markBox(Real x, Real y, int halfSize) const {
  const Real cx = px(x);
  const Real cy = py(y);
  return {truncatePixel(cx - halfSize), truncatePixel(cy - halfSize), truncatePixel(cx + halfSize),
          truncatePixel(cy + halfSize)};
}

std::optional<std::pair<Real, Real>> CurveFrame::valueAt(int mx, int my) const {
  if (!hasDataArea()) return std::nullopt;
  const Real x = x_.min + (mx - areaLeft()) * x_.span() / width_;
  const Real y = y_.min - (my - areaBottom()) * y_.span() / height_;
  return std::make_pair(x, y);
}

int CurveFrame::hitTest(int mx, int my, std::span<const Real> xs, std::span<const Real> ys) const {
  for (std::size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
    if (std::abs(mx - roundPixel(px(xs[i]))) < kCurvePointHalfSize &&
        std::abs(my - roundPixel(py(ys[i]))) < kCurvePointHalfSize) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

Pixel CurveFrame::bottomCaptionAt(int captionWidth) const {
  return {client_.right - captionWidth - 3 * kUnit, client_.bottom - kUnit - 5};
}

Pixel CurveFrame::sideCaptionAt(int dx) const {
  return {client_.left + kUnit + dx, client_.top + 2 * kUnit - 5};
}

Pixel CurveFrame::titleAt(int titleWidth) const {
  return {truncatePixel((client_.right - titleWidth) / 2.0L), kUnit};
}

}  // namespace tarvolin::plotting
