#pragma once
// The fit-curve panel of the data-input window: the measured property of every point (black
// circles) and the property calculated for the initial constants (a purple cubic-spline curve)
// against the point number, from the curve file of the Fitting Test. Seven ticks per axis with
// short exponent labels, so that the narrow panel holds them.

#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "base/platform.h"
#include "ui/results/plotting/titration_plot.h"

namespace tarvolin::ui {

inline constexpr int kFitCurvePanelWidth = 436;
inline constexpr int kFitCurvePanelHeight = 226;

inline constexpr const char* kFitCurveTitle = "   Experimental Points and Calc. Curve";
inline constexpr const char* kFitCurveXCaption = "no. of exp. point";
inline constexpr const char* kFitCurveYCaption = " Yexp., Ycalc.";

// The points of a curve file (N, then N lines point number and Yexp, then N lines point number
// and Ycalc), or the message that stops the drawing.
struct FitCurveLoad {
  std::optional<plotting::TitrationPlot> plot;
  MessageKind kind = MessageKind::Information;
  QString caption;
  QString text;
};

// A missing file gives "Cannot find file '<name>'"; measured points all at one point number or
// with one value give the warning "Impossible to plot experimental data" (caption "Titration
// curve"); a damaged file gives the curve reader's message.
FitCurveLoad loadFitCurve(const std::string& fileName, char separator);

class FitCurvePanel : public QWidget {
  Q_OBJECT

 public:
  explicit FitCurvePanel(QWidget* parent = nullptr);

  // The curve to draw; nothing leaves the panel white.
  void setCurve(std::optional<plotting::TitrationPlot> plot);
  bool hasCurve() const { return plot_.has_value(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<plotting::TitrationPlot> plot_;
};

}  // namespace tarvolin::ui
