#pragma once
// The measured-versus-calculated window: for one data set of the last run, Yexp of every point
// against Ycalc, the least-squares line of Yexp on Ycalc with its statistics, the band of three
// standard deviations around the diagonal, the 95 % confidence band of the line and the
// agreement of Ycalc with Yexp. Points on the diagonal mean the model explains the data; a
// slope away from 1 or a band the points leave shows what it misses.
//
// A window of its own beside the document windows (a tool window of the main window, so that it
// stays in front of it), created once and hidden; after each run the main window loads it and
// shows it when the data set held enough points to plot.

#include <QWidget>

#include "ui/results/plotting/regression_file.h"
#include "ui/results/plotting/regression_plot.h"
#include "ui/results/result_window_host.h"

class QComboBox;
class QLabel;
class QStatusBar;

namespace tarvolin::ui {

class RegressionWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RegressionWindow(ResultWindowHost& host, QWidget* parent = nullptr);

  // The report of the last run and its number of data sets; the data set shown stays the same
  // while the new run has it.
  void setSource(ResultSource source);
  // Loads the REG file of the chosen data set, computes the statistics and repaints. A missing
  // file is reported with a warning, a range that cannot be spread with an information box;
  // fewer than three points are passed over silently.
  void dataOpenFile();
  // LinRegPlotOK: the last load found more than two points, and the window was not closed
  // since.
  bool plotReady() const { return linRegPlotOK_; }

  int dataSetIndex() const { return dataSetIndex_; }
  int systemIndex() const { return systemIndex_; }
  QComboBox* systemChooser() const { return systemChooser_; }
  // 1-based file position of the highlighted point; 0 when none.
  int selectedPoint() const { return selectedPoint_; }
  const plotting::RegressionLoad& loaded() const { return load_; }
  QComboBox* dataSetChooser() const { return chooser_; }
  QLabel* dataSetLabel() const { return chooserLabel_; }
  QString statusText(int panel) const;
  // The plot's client rectangle: the window above its status bar.
  plotting::ClientRect plotClient() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool drawable() const { return load_.status == plotting::RegressionLoadStatus::ready; }
  // Mouse events pass unhandled with Ctrl held and no button down.
  static bool ignoredMouseState(const QMouseEvent& event);
  void chooseDataSet(int index);
  void chooseSystem(int index);
  void rebuildChooser();
  void placeChooser();
  void PlotXY(QPainter& painter);

  ResultWindowHost& host_;
  ResultSource source_;
  plotting::RegressionLoad load_;
  bool linRegPlotOK_ = false;
  int dataSetIndex_ = 0;
  int systemIndex_ = 0;
  int selectedPoint_ = 0;
  char separator_ = '.';

  QLabel* chooserLabel_ = nullptr;
  QComboBox* chooser_ = nullptr;
  QLabel* systemLabel_ = nullptr;
  QComboBox* systemChooser_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  QLabel* panels_[3] = {};
};

}  // namespace tarvolin::ui
