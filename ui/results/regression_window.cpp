#include "ui/results/regression_window.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>

#include "ui/results/choosers.h"
#include "ui/results/plot_canvas.h"
#include "ui/results/plotting/data_sets.h"
#include "ui/results/plotting/plot_fields.h"
#include "ui/results/plotting/point_names.h"
#include "ui/results/plotting/regression_statistics.h"

namespace tarvolin::ui {

using namespace plotting;

namespace {

constexpr int kChooserWidth = 48;
constexpr int kChooserMargin = 6;

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

RegressionWindow::RegressionWindow(ResultWindowHost& host, QWidget* parent)
    : QWidget(parent, Qt::Tool), host_(host) {
  setWindowTitle(QStringLiteral("P L O T :     Yexp  vs Ycalc"));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);

  chooserLabel_ = new QLabel(QStringLiteral("Data set:"), this);
  chooserLabel_->setFont(plotFont());
  chooser_ = new QComboBox(this);
  chooser_->setFont(plotFont());
  chooser_->setFixedWidth(kChooserWidth);
  systemLabel_ = new QLabel(QStringLiteral("System:"), this);
  systemLabel_->setFont(plotFont());
  systemChooser_ = new QComboBox(this);
  systemChooser_->setFont(plotFont());
  systemChooser_->setFixedWidth(kChooserWidth);
  for (QWidget* control :
       {static_cast<QWidget*>(chooserLabel_), static_cast<QWidget*>(chooser_),
        static_cast<QWidget*>(systemLabel_), static_cast<QWidget*>(systemChooser_)})
    control->hide();
  connect(chooser_, &QComboBox::activated, this, &RegressionWindow::chooseDataSet);
  connect(systemChooser_, &QComboBox::activated, this, &RegressionWindow::chooseSystem);
  auto* close = new QAction(this);
  close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  connect(close, &QAction::triggered, this, &QWidget::close);
  addAction(close);
  setMinimumSize(420, 360);

  statusBar_ = new QStatusBar(this);
  statusBar_->setSizeGripEnabled(false);
  const int widths[3] = {140, 50, 0};
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(statusBar_);
    if (widths[i] > 0) panels_[i]->setFixedWidth(widths[i]);
    statusBar_->addWidget(panels_[i], widths[i] > 0 ? 0 : 1);
  }
  resize(590, 515);
  rebuildChooser();
}

// A report of another run may have fewer systems: the first is shown then.
void RegressionWindow::setSource(ResultSource source) {
  source_ = std::move(source);
  if (systemIndex_ >= source_.systemCount()) systemIndex_ = 0;
  rebuildChooser();
}

QString RegressionWindow::statusText(int panel) const {
  return panel >= 1 && panel <= 3 ? panels_[panel - 1]->text() : QString();
}

ClientRect RegressionWindow::plotClient() const {
  return {0, 0, width(), height() - statusBar_->sizeHint().height()};
}

// The choosers list the systems of the last run and the data sets of the system shown; one that
// the run no longer has falls back to the first.
void RegressionWindow::rebuildChooser() {
  const DataSetChoice systems = dataSetChoice(source_.systemCount(), systemIndex_);
  showChoice(systemChooser_, systemLabel_, systems);
  systemIndex_ = systems.selected;
  const DataSetChoice choice = dataSetChoice(source_.system(systemIndex_).dataSets, dataSetIndex_);
  showChoice(chooser_, chooserLabel_, choice);
  dataSetIndex_ = choice.selected;
  placeChooser();
}

void RegressionWindow::placeChooser() {
  const QSize box = chooser_->sizeHint();
  const int x = width() - kChooserWidth - kChooserMargin;
  chooser_->setGeometry(x, kChooserMargin, kChooserWidth, box.height());
  const int labelWidth = chooserLabel_->sizeHint().width();
  chooserLabel_->setGeometry(x - labelWidth - kChooserMargin, kChooserMargin, labelWidth,
                             box.height());
  const int right = chooser_->isVisibleTo(this) ? chooserLabel_->x() : width();
  const int systemX = right - kChooserWidth - 2 * kChooserMargin;
  systemChooser_->setGeometry(systemX, kChooserMargin, kChooserWidth, box.height());
  const int systemLabelWidth = systemLabel_->sizeHint().width();
  systemLabel_->setGeometry(systemX - systemLabelWidth - kChooserMargin, kChooserMargin,
                            systemLabelWidth, box.height());
}

void RegressionWindow::chooseDataSet(int index) {
  dataSetIndex_ = index;
  dataOpenFile();
}

void RegressionWindow::chooseSystem(int index) {
  systemIndex_ = index;
  dataOpenFile();
}

void RegressionWindow::dataOpenFile() {
  if (!source_.folder.isEmpty()) QDir::setCurrent(source_.folder);
  rebuildChooser();
  separator_ = userDecimalSeparator();
  const std::string name = dataSetFileName(source_.outputName, dataSetIndex_, ".REG", systemIndex_);
  linRegPlotOK_ = false;
  selectedPoint_ = 0;
  // The read-outs named a point of the data shown before.
  for (QLabel* panel : panels_) panel->clear();
  load_ = loadRegressionFile(name, separator_);
  if (load_.status != RegressionLoadStatus::missingFile)
    setWindowTitle(fromStd(regressionCaption(name)));
  linRegPlotOK_ = load_.plotReady();
  update();
  if (load_.status == RegressionLoadStatus::missingFile)
    host_.message(MessageKind::Warning, QStringLiteral("Warning"), fromStd(load_.message),
                  MessageButtons::Yes);
  else if (load_.status == RegressionLoadStatus::degenerateRange)
    host_.message(MessageKind::Information, QStringLiteral("Information"), fromStd(load_.message),
                  MessageButtons::Yes);
}

void RegressionWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PlotXY(painter);
}

void RegressionWindow::PlotXY(QPainter& painter) {
  preparePlotPainter(painter);
  if (!drawable()) return;
  const RegressionPlot& plot = load_.plot;
  const RegressionLayout layout(plotClient(), plot.x, plot.y);
  const char sep = separator_;
  const int widthOfH = textWidth(painter, QStringLiteral("H"));

  drawPixelLine(painter, layout.frame(), true);
  for (const AxisTick& tick : layout.xTicks(sep)) drawTick(painter, tick);
  for (const AxisTick& tick : layout.yTicks(widthOfH, sep)) drawTick(painter, tick);
  const QString title = QString::fromLatin1(kRegressionTitle) + fromStd(plot.data.titleSuffix);
  drawTextAt(painter, layout.titleAt(textWidth(painter, title)), title);
  drawTextAt(painter, layout.xCaptionAt(widthOfH), QString::fromLatin1(kRegressionXCaption));
  drawTextAt(painter, layout.yCaptionAt(), QString::fromLatin1(kRegressionYCaption));

  // Points in file order, the highlighted one filled lime.
  for (int i = 0; i < plot.data.N(); ++i) {
    painter.setBrush(colourOf(i + 1 == selectedPoint_ ? kLime : kWhite));
    drawEllipseIn(painter, layout.pointBox(plot.data.Ycalc[i], plot.data.Yexp[i]));
  }
  painter.setBrush(Qt::NoBrush);
  painter.setBackgroundMode(Qt::OpaqueMode);

  painter.setPen(colourOf(kRed));
  drawPixelLine(painter, layout.regressionLine(plot.line));
  painter.setPen(colourOf(kPaleGreen));
  for (const auto& band : layout.bandLines(plot.fit.s)) drawPixelLine(painter, band);
  painter.setPen(colourOf(kGrey));
  drawPixels(painter, layout.confidenceBand(plot.fit, plot.data.N()));

  painter.setFont(plotFont(9));
  painter.setPen(colourOf(kNavy));
  const Agreement agreement = agreementOfYcalcWithYexp(plot.data.Ycalc, plot.data.Yexp);
  const auto width = [&painter](const std::string& text) {
    return textWidth(painter, fromStd(text));
  };
  for (const auto& line :
       layout.statisticsLines(regressionLine(plot.fit, plot.data.N(), sep),
                              agreementLine(agreement, sep), painter.fontMetrics().height(), width))
    drawTextAt(painter, line.at, fromStd(line.text));
}

bool RegressionWindow::ignoredMouseState(const QMouseEvent& event) {
  return event.modifiers() == Qt::ControlModifier && event.buttons() == Qt::NoButton;
}

void RegressionWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!drawable() || ignoredMouseState(*event)) return;
  const RegressionPlot& plot = load_.plot;
  const RegressionLayout layout(plotClient(), plot.x, plot.y);
  const QPoint at = event->position().toPoint();
  if (const auto text = layout.readout(at.x(), at.y(), separator_))
    panels_[2]->setText(fromStd(*text));
  const int hit = layout.hitTest(at.x(), at.y(), plot.data.Ycalc, plot.data.Yexp);
  panels_[0]->setText(hit > 0 ? fromStd(regressionPointName(plot.data.PointNo[hit - 1]))
                              : QString());
}

void RegressionWindow::mousePressEvent(QMouseEvent* event) {
  selectedPoint_ = 0;
  if (drawable() && !ignoredMouseState(*event)) {
    const RegressionPlot& plot = load_.plot;
    const RegressionLayout layout(plotClient(), plot.x, plot.y);
    const QPoint at = event->position().toPoint();
    if (layout.hasDataArea()) {
      if (const auto text = layout.readout(at.x(), at.y(), separator_))
        panels_[2]->setText(fromStd(*text));
      selectedPoint_ = layout.hitTest(at.x(), at.y(), plot.data.Ycalc, plot.data.Yexp);
    }
  }
  update();
}

void RegressionWindow::closeEvent(QCloseEvent* event) {
  linRegPlotOK_ = false;
  QWidget::closeEvent(event);
}

void RegressionWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int barHeight = statusBar_->sizeHint().height();
  statusBar_->setGeometry(0, height() - barHeight, width(), barHeight);
  placeChooser();
  update();
}

}  // namespace tarvolin::ui
