#pragma once
// What the residual, titration-curve and basic-component percentage windows share: a document
// window of the main window that draws one data set of a report from its plot file, re-read
// on every paint, with a data-set chooser when the report has several, a chooser of the
// calculated system when it has several, hover read-outs in the main window's status bar, and
// an information message when the file cannot be drawn.
//
// A message is shown once for what it says: paints follow each other (a message box uncovering
// the window is one), and a file that cannot be read would otherwise bring its box back
// for ever. Another choice of data set or component, or a file read successfully, lets it come
// again.

#include <QWidget>
#include <string>

#include "ui/results/plotting/plot_geometry.h"
#include "ui/results/result_window_host.h"

class QComboBox;
class QLabel;
class QPainter;

namespace tarvolin::ui {

class CurveWindow : public QWidget {
  Q_OBJECT

 public:
  // Reads the file of the chosen data set and repaints; called by the main window right after
  // it creates the window, and by every control.
  void draw();

  int dataSetIndex() const { return dataSetIndex_; }
  QComboBox* dataSetChooser() const { return chooser_; }
  QLabel* dataSetLabel() const { return chooserLabel_; }
  // 0-based index of the calculated system shown, and its chooser (hidden with one system).
  int systemIndex() const { return systemIndex_; }
  QComboBox* systemChooser() const { return systemChooser_; }
  // A plot window is drawn at its preferred size; below its minimum its plot and controls
  // would not read.
  QSize sizeHint() const override { return preferredSize_; }
  QSize minimumSizeHint() const override;
  // The last read gave something to draw.
  bool hasPlot() const { return hasPlot_; }
  plotting::ClientRect plotClient() const { return {0, 0, width(), height()}; }

 protected:
  CurveWindow(ResultWindowHost& host, ResultSource source, const QString& chooserLabel,
              QSize preferredSize, QWidget* parent);

  // Reads the plot file of the chosen data set into the window; the information message when
  // it cannot be drawn, empty otherwise.
  virtual std::string readPlot() = 0;
  // Draws what readPlot read; the painter is prepared for a plot.
  virtual void paintPlot(QPainter& painter) = 0;
  // Status read-outs for the mouse at (mx, my) over what was read last.
  virtual void hover(int mx, int my) = 0;
  // Places the controls for the window's size; by default the system chooser at the top left
  // and the data-set chooser with its label centred at the top, where the title stands with a
  // single data set.
  virtual void placeControls();
  // Another calculated system was chosen: controls that depend on its species follow it.
  virtual void systemChanged() {}

  // A control changed what is drawn: its messages may come again.
  void redraw();
  // With a single data set the plot carries its title; with several the chooser's label does.
  bool titleShown() const { return !chooserShown_; }
  ResultWindowHost& host() { return host_; }
  const ResultSource& source() const { return source_; }
  const plotting::ResultSystem& system() const { return source_.system(systemIndex_); }
  QLabel* systemLabel() const { return systemLabel_; }
  // Where a title centred at `centred` goes: moved right of the system chooser when it would
  // run into it.
  plotting::Pixel titlePosition(plotting::Pixel centred) const;
  char separator() const { return separator_; }
  void placeAtTopCentre(QWidget* first, QWidget* second);
  void placeAtTopRight(QWidget* first, QWidget* second);

  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::string read();
  void report(const std::string& message);
  void chooseDataSet(int index);
  void chooseSystem(int index);
  void fillDataSetChooser();
  // Right edge of the system chooser plus a gap when it is shown, 0 otherwise.
  int systemChooserRight() const;

  ResultWindowHost& host_;
  ResultSource source_;
  QSize preferredSize_;
  int dataSetIndex_ = 0;
  int systemIndex_ = 0;
  bool chooserShown_ = false;
  bool hasPlot_ = false;
  char separator_ = '.';
  std::string lastMessage_;  // of the last read
  std::string shownMessage_;
  QLabel* chooserLabel_ = nullptr;
  QComboBox* chooser_ = nullptr;
  QLabel* systemLabel_ = nullptr;
  QComboBox* systemChooser_ = nullptr;
};

}  // namespace tarvolin::ui
