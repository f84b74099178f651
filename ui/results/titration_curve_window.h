#pragma once
// The titration-curve window ("Titration Curve"): the measured property of every point of one
// data set against its number, with the calculated property as a smooth spline through the
// calculated values, or as dots. A curve through the circles means the model follows the
// experiment along the whole titration.

#include "ui/results/curve_window.h"
#include "ui/results/plotting/titration_plot.h"

class QCheckBox;

namespace tarvolin::ui {

class TitrationCurveWindow : public CurveWindow {
  Q_OBJECT

 public:
  TitrationCurveWindow(ResultWindowHost& host, ResultSource source, QWidget* parent = nullptr);
  static QSize defaultSize() { return {520, 340}; }
  const plotting::TitrationPlot& plot() const { return plot_; }
  // "Draw calc. points": the calculated values as dots instead of the curve.
  QCheckBox* pointsCheckBox() const { return checkBoxPoints_; }

 protected:
  std::string readPlot() override;
  void paintPlot(QPainter& painter) override;
  void hover(int mx, int my) override;
  void placeControls() override;

 private:
  plotting::TitrationPlot plot_;
  bool drawCalcPoints_ = false;
  QCheckBox* checkBoxPoints_ = nullptr;
};

}  // namespace tarvolin::ui
