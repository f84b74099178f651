#pragma once
// The basic-component percentage window ("Basic Components Percentage"): for one basic
// component and one data set, the percentage of the component's total bound in each species
// along the experiment (at the measured points and between them), one coloured curve per
// species. It shows which species dominate where.

#include "ui/results/curve_window.h"
#include "ui/results/plotting/percentage_plot.h"

class QCheckBox;

namespace tarvolin::ui {

class PercentageWindow : public CurveWindow {
  Q_OBJECT

 public:
  PercentageWindow(ResultWindowHost& host, ResultSource source, QWidget* parent = nullptr);
  static QSize defaultSize() { return {670, 340}; }
  const plotting::PercentageData& data() const { return data_; }
  // 0-based position of the chosen component among the offered ones.
  int componentPosition() const { return componentPosition_; }
  QComboBox* componentChooser() const { return comboBoxNK_; }
  // "Draw points only": each percentage as a pixel instead of the curves.
  QCheckBox* pointsCheckBox() const { return checkBoxPoints_; }

 protected:
  std::string readPlot() override;
  void paintPlot(QPainter& painter) override;
  void hover(int mx, int my) override;
  void placeControls() override;
  void systemChanged() override;

 private:
  plotting::PercentageData data_;
  int componentPosition_ = 0;
  bool pointsOnly_ = false;
  QLabel* labelBasCompA_ = nullptr;
  QComboBox* comboBoxNK_ = nullptr;
  QLabel* labelBasCompB_ = nullptr;
  QCheckBox* checkBoxPoints_ = nullptr;
};

}  // namespace tarvolin::ui
