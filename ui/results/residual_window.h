#pragma once
// The residual window ("Residual Analysis"): Yexp - Ycalc of every point of one data set
// against Ycalc, with a dashed zero line when the residuals take both signs. Residuals
// scattered evenly about zero mean the model explains the data; a trend shows what it misses.

#include "ui/results/curve_window.h"
#include "ui/results/plotting/residual_plot.h"

namespace tarvolin::ui {

class ResidualWindow : public CurveWindow {
  Q_OBJECT

 public:
  ResidualWindow(ResultWindowHost& host, ResultSource source, QWidget* parent = nullptr);
  // The window's size as the main window opens it.
  static QSize defaultSize() { return {435, 300}; }
  const plotting::ResidualPlot& plot() const { return plot_; }

 protected:
  std::string readPlot() override;
  void paintPlot(QPainter& painter) override;
  void hover(int mx, int my) override;

 private:
  plotting::ResidualPlot plot_;
};

}  // namespace tarvolin::ui
