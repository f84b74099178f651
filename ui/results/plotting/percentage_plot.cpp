#include "ui/results/plotting/percentage_plot.h"

#include "base/number_format.h"
#include "base/text_file.h"
#include "model/model.h"
#include "run/plot_files.h"
#include "ui/results/plotting/curve_files.h"
#include "ui/results/plotting/plot_fields.h"

namespace tarvolin::plotting {

namespace {

constexpr Real kFullScale = 100;

std::string threeDigits(long long n, char separator) {
  return fmt::windowFormat("%3d", {n}, separator);
}

}  // namespace

std::vector<int> offeredComponents(const Model& m) { return shownComponents(m); }

std::vector<std::string> componentChooserItems(const std::vector<int>& offered) {
  std::vector<std::string> items;
  for (const int k : offered) items.push_back(std::to_string(k));
  return items;
}

int speciesValueNumber(int NS, int m, int j) { return 1 + NS * m + j; }

int valuesNeeded(int NS, int m) { return 1 + NS * (m + 1); }

Rgb curveColour(int n) { return kCurveColours[static_cast<std::size_t>(n) % kCurveColours.size()]; }

std::string speciesLabel(int k, int j) {
  return j == k ? std::to_string(k) : std::to_string(k) + " in " + std::to_string(j);
}

std::string percentageCaption(const std::string& fileName) {
  return "Basic Components Percentage: [" + fileName + "]";
}

PercentageData loadPercentageFile(const std::string& fileName, int needed, char separator) {
  PercentageData data;
  std::string text;
  if (!readWholeFile(fileName, text)) {
    data.message = cannotOpenMessage(fileName);
    return data;
  }
  const std::size_t count = static_cast<std::size_t>(std::max(needed, 1));
  const std::vector<std::string> lines = splitLines(text);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const auto fields = splitFields(lines[n]);
    if (fields.empty()) continue;
    std::vector<float> row;
    row.reserve(fields.size());
    for (std::size_t f = 0; f < fields.size() && f < count; ++f) {
      const auto value = parsePlotReal(fields[f], separator);
      if (!value) break;
      row.push_back(static_cast<float>(*value));
    }
    if (row.size() < count) {
      data.message = unreadableLineMessage(fileName, n + 1);
      data.rows.clear();
      return data;
    }
    data.rows.push_back(std::move(row));
  }
  std::vector<float> abscissae;
  abscissae.reserve(data.rows.size());
  for (const auto& row : data.rows) abscissae.push_back(row[0]);
  data.x = rangeOf(std::span<const float>(abscissae));
  if (data.x.span() <= kFlatRange) data.message = kPercentageFlatMessage;
  return data;
}

CurveFrame percentageFrame(ClientRect client, const PercentageData& data) {
  return CurveFrame(client, data.x, Range{0, kFullScale}, kUnit);
}

std::array<Pixel, 4> percentageFrameCorners(const CurveFrame& frame) {
  return frame.frame(frame.client().right - 2 * kUnit);
}

std::array<AxisTick, 5> percentageXTicks(const CurveFrame& frame, int Np, char separator) {
  std::array<AxisTick, 5> ticks;
  for (int k = 0; k < 5; ++k) {
    const int number = roundPixel(static_cast<Real>(Np - 1) / 4 * k + 1);
    // A data set of one point has no span to spread its numbers over.
    const Real x = Np >= 2
                       ? frame.areaLeft() + static_cast<Real>(number - 1) * frame.width() / (Np - 1)
                       : frame.areaLeft();
    ticks[k] = frame.xTick(number, threeDigits(number, separator), roundPixel(x), truncatePixel(x));
  }
  return ticks;
}

std::array<AxisTick, 11> percentageYTicks(const CurveFrame& frame, char separator) {
  std::array<AxisTick, 11> ticks;
  const int left = frame.areaLeft() - kUnit;
  for (int k = 0; k <= 10; ++k) {
    AxisTick& t = ticks[k];
    t.value = 10 * k;
    const int y = truncatePixel(frame.areaBottom() - k * static_cast<Real>(frame.height()) / 10);
    t.label = threeDigits(10 * k, separator);
    t.from = {left, y};
    t.to = {left + kTickLength, y};
    t.labelAt = {frame.client().left + 6, y - kLabelHalfHeight};
  }
  return ticks;
}

std::vector<PercentageCurve> percentageCurves(const PercentageData& data, const CurveFrame& frame,
                                              int NS, int k, int m) {
  std::vector<PercentageCurve> curves;
  if (data.rows.empty()) return curves;
  for (int j = 1; j <= NS; ++j) {
    // Rows hold at least the values the load asked for; a shorter row reads as 0.
    const std::size_t column = static_cast<std::size_t>(speciesValueNumber(NS, m, j)) - 1;
    const auto percentageIn = [column](const std::vector<float>& row) {
      return column < row.size() ? row[column] : 0.0f;
    };
    bool present = false;
    for (const auto& row : data.rows) present = present || percentageIn(row) > 0;
    if (!present) continue;
    PercentageCurve curve;
    curve.species = j;
    curve.colour = curveColour(static_cast<int>(curves.size()));
    curve.label = speciesLabel(k, j);
    curve.points.reserve(data.rows.size());
    for (const auto& row : data.rows) {
      curve.points.push_back(
          {roundPixel(frame.px(row[0])), roundPixel(frame.py(percentageIn(row)))});
    }
    const auto& first = data.rows.front();
    const auto& last = data.rows.back();
    curve.labelAtEnd = {truncatePixel(frame.px(last[0])) - (j == k ? 0 : 3),
                        truncatePixel(frame.py(percentageIn(last)) - kUnit / 2)};
    curve.labelAtStart = {frame.areaLeft(),
                          truncatePixel(frame.py(percentageIn(first)) - kUnit / 2)};
    curves.push_back(std::move(curve));
  }
  return curves;
}

std::optional<std::string> percentageReadout(const CurveFrame& frame, int Np, int mx, int my,
                                             char separator) {
  if (!frame.hasDataArea()) return std::nullopt;
  const Real x = static_cast<Real>(Np - 1) * (mx - frame.areaLeft()) / frame.width() + 1;
  const Real y = kFullScale * (frame.areaBottom() - my) / frame.height();
  return fmt::windowFormat("Experimental Point = %4.0f", {x}, separator) +
         fmt::windowFormat(";  PC = %3.1f", {y}, separator);
}

}  // namespace tarvolin::plotting
