#include "ui/results/plotting/titration_plot.h"

#include "base/number_format.h"
#include "ui/results/plotting/cubic_spline.h"
#include "ui/results/plotting/curve_files.h"
#include "ui/results/plotting/sorting.h"

namespace tarvolin::plotting {

TitrationPlot titrationPlotOf(CurveFile& file) {
  TitrationPlot plot;
  plot.expNo = std::move(file.parts[0].x);
  plot.Yexp = std::move(file.parts[0].y);
  const CurvePoints& calculated = file.parts[1];
  for (const std::size_t i : ascendingOrder(calculated.x)) {
    plot.calcNo.push_back(calculated.x[i]);
    plot.Ycalc.push_back(calculated.y[i]);
  }
  plot.splineDrawable = plot.calcNo.size() >= 2 && strictlyIncreasing(plot.calcNo);
  plot.x = rangeOf(plot.expNo);
  plot.y = rangeOf(plot.Yexp);
  return plot;
}

TitrationPlot loadTitrationPlot(const std::string& fileName, char separator) {
  CurveFile file = readCurveFile(fileName, 2, separator);
  if (!file.message.empty()) {
    TitrationPlot plot;
    plot.message = std::move(file.message);
    return plot;
  }
  TitrationPlot plot = titrationPlotOf(file);
  if (plot.x.span() <= kFlatRange || plot.y.span() <= kFlatRange) plot.message = kFlatRangeMessage;
  return plot;
}

CurveFrame titrationFrame(ClientRect client, const TitrationPlot& plot) {
  return CurveFrame(client, plot.x, plot.y);
}

std::array<AxisTick, 5> titrationXTicks(const CurveFrame& frame, char separator) {
  std::array<AxisTick, 5> ticks;
  for (int k = 0; k < 5; ++k) {
    const int number = roundPixel(frame.x().min + k * frame.x().span() / 4);
    const int x = roundPixel(frame.px(number));
    ticks[k] = frame.xTick(number, fmt::windowFormat("%3d", {number * 1LL}, separator), x, x);
  }
  return ticks;
}

std::vector<Box> measuredPointBoxes(const CurveFrame& frame, const TitrationPlot& plot) {
  std::vector<Box> boxes;
  boxes.reserve(plot.expNo.size());
  for (std::size_t i = 0; i < plot.expNo.size(); ++i) {
    boxes.push_back(frame.markBox(plot.expNo[i], plot.Yexp[i], kCurvePointHalfSize));
  }
  return boxes;
}

std::vector<Box> calculatedDotBoxes(const CurveFrame& frame, const TitrationPlot& plot) {
  std::vector<Box> boxes;
  boxes.reserve(plot.calcNo.size());
  for (std::size_t i = 0; i < plot.calcNo.size(); ++i) {
    boxes.push_back(frame.markBox(plot.calcNo[i], plot.Ycalc[i], kCalculatedDotHalfSize));
  }
  return boxes;
}

std::vector<Pixel> calculatedCurve(const CurveFrame& frame, const TitrationPlot& plot) {
  std::vector<Pixel> curve;
  if (plot.Ycalc.empty()) return curve;
  curve.push_back({frame.areaLeft(), truncatePixel(frame.py(plot.Ycalc.front()))});
  if (!plot.splineDrawable || frame.width() <= 0) return curve;
  CubicSpline spline(plot.calcNo, plot.Ycalc);
  const int W = frame.width();
  curve.reserve(static_cast<std::size_t>(W) + 2);
  for (int column = 0; column <= W; ++column) {
    const Real u = frame.x().min + column * frame.x().span() / W;
    curve.push_back({truncatePixel(frame.px(u)), truncatePixel(frame.py(spline(u)))});
  }
  return curve;
}

std::optional<std::string> titrationReadout(const CurveFrame& frame, int mx, int my,
                                            char separator) {
  const auto value = frame.valueAt(mx, my);
  if (!value) return std::nullopt;
  return fmt::windowFormat("Experimental Point = %4.0f", {value->first}, separator) +
         fmt::windowFormat(";     Y = %12.5f", {value->second}, separator);
}

}  // namespace tarvolin::plotting
