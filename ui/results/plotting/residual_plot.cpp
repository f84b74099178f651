#include "ui/results/plotting/residual_plot.h"

#include "base/number_format.h"
#include "ui/results/plotting/curve_files.h"
#include "ui/results/plotting/sorting.h"

namespace tarvolin::plotting {

ResidualPlot loadResidualPlot(const std::string& fileName, char separator) {
  ResidualPlot plot;
  CurveFile file = readCurveFile(fileName, 1, separator);
  if (!file.message.empty()) {
    plot.message = std::move(file.message);
    return plot;
  }
  plot.Ycalc = std::move(file.parts[0].x);
  plot.D = std::move(file.parts[0].y);
  for (const std::size_t i : ascendingOrder(plot.Ycalc)) {
    plot.sortedYcalc.push_back(plot.Ycalc[i]);
    plot.sortedD.push_back(plot.D[i]);
  }
  plot.x = rangeOf(plot.Ycalc);
  plot.y = rangeOf(plot.D);
  if (plot.x.span() <= kFlatRange || plot.y.span() <= kFlatRange) plot.message = kFlatRangeMessage;
  return plot;
}

CurveFrame residualFrame(ClientRect client, const ResidualPlot& plot) {
  return CurveFrame(client, plot.x, plot.y);
}

std::array<AxisTick, 5> residualXTicks(const CurveFrame& frame, char separator) {
  std::array<AxisTick, 5> ticks;
  for (int k = 0; k < 5; ++k) {
    const Real value = frame.x().min + k * frame.x().span() / 4;
    const int x = truncatePixel(frame.areaLeft() + k * static_cast<Real>(frame.width()) / 4);
    ticks[k] = frame.xTick(value, fmt::axisLabel(value, separator), x, x);
  }
  return ticks;
}

std::optional<std::array<Pixel, 2>> zeroLine(const CurveFrame& frame) {
  if (!(frame.y().max > 0 && frame.y().min < 0)) return std::nullopt;
  const int row = truncatePixel(frame.py(0));
  const auto corners = frame.frame();
  return std::array<Pixel, 2>{Pixel{corners[0].x, row}, Pixel{corners[1].x, row}};
}

std::vector<Box> residualPointBoxes(const CurveFrame& frame, const ResidualPlot& plot) {
  std::vector<Box> boxes;
  boxes.reserve(plot.sortedYcalc.size());
  for (std::size_t i = 0; i < plot.sortedYcalc.size(); ++i) {
    boxes.push_back(frame.markBox(plot.sortedYcalc[i], plot.sortedD[i], kCurvePointHalfSize));
  }
  return boxes;
}

std::optional<std::string> residualReadout(const CurveFrame& frame, int mx, int my,
                                           char separator) {
  const auto value = frame.valueAt(mx, my);
  if (!value) return std::nullopt;
  const auto [x, y] = *value;
  return fmt::windowFormat("Ycalc. = %12.5f", {x}, separator) +
         fmt::windowFormat(";     Yexp. = %12.5f", {x + y}, separator) +
         fmt::windowFormat(";     (Yexp. - Ycalc.) = %12.5f", {y}, separator);
}

}  // namespace tarvolin::plotting
