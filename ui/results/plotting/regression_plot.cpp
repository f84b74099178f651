#include "ui/results/plotting/regression_plot.h"

#include <cmath>
#include <cstdlib>

#include "base/number_format.h"

namespace tarvolin::plotting {

namespace {

constexpr int kOriginOffset = 3 * kUnit;
constexpr int kConfidenceSteps = 500;
constexpr Real kConfidenceQuantile = 1.96L;  // two-sided 95 % of the normal distribution

// Fraction of a span, 0 for a flat one so that a stray call cannot divide by zero.
Real fractionOf(Real v, const Range& r) { return r.span() != 0 ? (v - r.min) / r.span() : 0; }

}  // namespace

RegressionLayout::RegressionLayout(ClientRect client, Range x, Range y)
    : client_(client),
      x_(x),
      y_(y),
      x0_(client.left + kOriginOffset),
      width_(client.right - x0_ - 2 * kMargin),
      height_(client.bottom - client.top - 2 * kMargin) {}

Real RegressionLayout::exactX(Real x) const { return x0_ + kMargin + width_ * fractionOf(x, x_); }

Real RegressionLayout::exactY(Real y) const {
  return (client_.bottom - kMargin) - height_ * fractionOf(y, y_);
}

int RegressionLayout::px(Real x) const { return roundPixel(exactX(x)); }
int RegressionLayout::py(Real y) const { return roundPixel(exactY(y)); }

std::array<Pixel, 4> RegressionLayout::frame() const {
  const int left = x0_ + kMargin - kUnit;
  const int top = client_.top + kMargin - kUnit;
  const int right = client_.right - kMargin + kUnit;
  const int bottom = client_.bottom - kMargin + kUnit;
  return {Pixel{left, top}, Pixel{right, top}, Pixel{right, bottom}, Pixel{left, bottom}};
}

std::array<AxisTick, 5> RegressionLayout::xTicks(char separator) const {
  std::array<AxisTick, 5> ticks;
  const int base = client_.bottom - kMargin + kUnit;
  for (int k = 0; k < 5; ++k) {
    AxisTick& t = ticks[k];
    t.value = x_.min + k * x_.span() / 4;
    const int x = roundPixel(x0_ + kMargin + k * static_cast<Real>(width_) / 4);
    t.label = fmt::axisLabel(t.value, separator);
    t.from = {x, base};
    t.to = {x, base - kTickLength};
    t.labelAt = {x - 18, base + 1};
  }
  return ticks;
}

std::array<AxisTick, 5> RegressionLayout::yTicks(int widthOfH, char separator) const {
  std::array<AxisTick, 5> ticks;
  const int left = x0_ + kMargin - kUnit;
  for (int k = 0; k < 5; ++k) {
    AxisTick& t = ticks[k];
    t.value = y_.min + k * y_.span() / 4;
    const int y = roundPixel((client_.bottom - kMargin) - k * static_cast<Real>(height_) / 4);
    t.label = fmt::axisLabel(t.value, separator);
    t.from = {left, y};
    t.to = {left + kTickLength, y};
    t.labelAt = {client_.left + widthOfH / 2, y - kLabelHalfHeight};
  }
  return ticks;
}

Pixel RegressionLayout::titleAt(int titleWidth) const {
  return {(client_.right - titleWidth) / 2, kUnit};
}

Pixel RegressionLayout::xCaptionAt(int widthOfH) const {
  return {client_.right - 4 * widthOfH - 3, client_.bottom - kMargin};
}

Pixel RegressionLayout::yCaptionAt() const {
  return {client_.left + 1, client_.top + kMargin - 2 * kUnit - 1};
}

Box RegressionLayout::pointBox(Real Ycalc, Real Yexp) const {
  const int x = px(Ycalc);
  const int y = py(Yexp);
  const int r = kRegressionPointRadius;
  return {x - r, y - r, x + r, y + r};
}

std::vector<Pixel> RegressionLayout::regressionLine(const SortedLine& line) const {
  std::vector<Pixel> points;
  points.reserve(line.Ycalc.size());
  for (std::size_t i = 0; i < line.Ycalc.size() && i < line.fitted.size(); ++i) {
    points.push_back({px(line.Ycalc[i]), py(line.fitted[i])});
  }
  return points;
}

std::array<std::array<Pixel, 2>, 2> RegressionLayout::bandLines(Real s) const {
  const Real offset = 3 * s;
  return {{{Pixel{px(x_.min), py(x_.min + offset)}, Pixel{px(x_.max), py(x_.max + offset)}},
           {Pixel{px(x_.min), py(x_.min - offset)}, Pixel{px(x_.max), py(x_.max - offset)}}}};
}

std::vector<Pixel> RegressionLayout::confidenceBand(const Regression& fit, int N) const {
  std::vector<Pixel> pixels;
  if (!(fit.Sxx > 0) || N <= 0) return pixels;
  pixels.reserve(2 * kConfidenceSteps);
  for (int j = 1; j <= kConfidenceSteps; ++j) {
    const Real x = x_.min + j * x_.span() / kConfidenceSteps;
    const Real dx = x - fit.xMean;
    const Real halfWidth = kConfidenceQuantile * fit.s * std::sqrt(dx * dx / fit.Sxx + 1.0L / N);
    const Real fitted = fit.b * x + fit.a;
    pixels.push_back({px(x), py(fitted + halfWidth)});
    pixels.push_back({px(x), py(fitted - halfWidth)});
  }
  return pixels;
}

Pixel RegressionLayout::regressionLineAt() const {
  const auto x = xTicks('.');
  const auto y = yTicks(0, '.');
  return {(x[1].from.x + x[2].from.x) / 2, (y[0].from.y + y[1].from.y) / 2};
}

Pixel RegressionLayout::agreementLineAt(int textHeight) const {
  const Pixel first = regressionLineAt();
  return {first.x, first.y - 2 * textHeight};
}

namespace {

// The pieces of a statistics line, each ending with its ";" (the blanks after it dropped), then
// joined again greedily into rows no wider than `room`; a piece wider than that stands alone.
std::vector<std::string> brokenLine(const std::string& line, int room,
                                    const std::function<int(const std::string&)>& width) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start < line.size()) {
    std::size_t end = line.find(';', start);
    end = end == std::string::npos ? line.size() : end + 1;
    pieces.push_back(line.substr(start, end - start));
    start = line.find_first_not_of(' ', end);
    if (start == std::string::npos) break;
  }
  std::vector<std::string> rows;
  for (const std::string& piece : pieces) {
    const std::string joined = rows.empty() ? piece : rows.back() + "  " + piece;
    if (!rows.empty() && width(joined) <= room)
      rows.back() = joined;
    else
      rows.push_back(piece);
  }
  return rows;
}

}  // namespace

std::vector<RegressionLayout::PlacedText> RegressionLayout::statisticsLines(
    const std::string& regression, const std::string& agreement, int textHeight,
    const std::function<int(const std::string&)>& width) const {
  constexpr int kRightGap = 4;
  const Pixel first = regressionLineAt();
  const Pixel second = agreementLineAt(textHeight);
  const int right = client_.right - kRightGap;
  const int left = frame()[0].x;
  const int widest = std::max(width(regression), width(agreement));
  if (first.x + widest <= right) return {{second, agreement}, {first, regression}};
  // Moved left only as far as needed: the lower left of the plot holds the points.
  std::vector<std::string> lower{regression};
  std::vector<std::string> upper{agreement};
  int x = right - widest;
  if (x < left) {
    lower = brokenLine(regression, right - left, width);
    upper = brokenLine(agreement, right - left, width);
    int rows = 0;
    for (const auto* lines : {&lower, &upper})
      for (const std::string& row : *lines) rows = std::max(rows, width(row));
    x = std::max(left, right - rows);
  }
  std::vector<PlacedText> placed;
  int y = first.y - static_cast<int>(lower.size() - 1) * textHeight;  // the regression's first
  y -= 2 * textHeight + static_cast<int>(upper.size() - 1) * textHeight;
  for (const auto* rows : {&upper, &lower}) {
    for (const std::string& row : *rows) {
      placed.push_back({{x, y}, row});
      y += textHeight;
    }
    y += textHeight;  // the blank line between the two
  }
  return placed;
}

std::optional<std::string> RegressionLayout::readout(int mx, int my, char separator) const {
  if (!hasDataArea()) return std::nullopt;
  const Real x = x_.min + (mx - x0_ - kMargin) * x_.span() / width_;
  const Real y = y_.min + ((client_.bottom - kMargin) - my) * y_.span() / height_;
  return fmt::windowFormat("Ycalc.  = %12.5f;     Yexp. = %12.5f;     D = %12.5f", {x, y, x - y},
                           separator);
}

int RegressionLayout::hitTest(int mx, int my, std::span<const Real> Ycalc,
                              std::span<const Real> Yexp) const {
  for (std::size_t i = 0; i < Ycalc.size() && i < Yexp.size(); ++i) {
    if (std::abs(mx - px(Ycalc[i])) < kRegressionPointRadius &&
        std::abs(my - py(Yexp[i])) < kRegressionPointRadius) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

}  // namespace tarvolin::plotting
