#include "ui/results/percentage_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>

#include "ui/results/plot_canvas.h"
#include "ui/results/plotting/data_sets.h"

namespace tarvolin::ui {

using namespace plotting;

namespace {

constexpr int kSentenceLeft = 8;
constexpr int kSentenceTop = 4;
constexpr int kComponentChooserWidth = 48;

}  // namespace

PercentageWindow::PercentageWindow(ResultWindowHost& host, ResultSource source, QWidget* parent)
    : CurveWindow(host, std::move(source), QStringLiteral("            Data set:"), defaultSize(),
                  parent) {
  setWindowTitle(QStringLiteral("Basic Components Percentage"));
  labelBasCompA_ = new QLabel(QStringLiteral("THE BASIC COMPONENT"), this);
  comboBoxNK_ = new QComboBox(this);
  comboBoxNK_->setFixedWidth(kComponentChooserWidth);
  labelBasCompB_ = new QLabel(QStringLiteral(":  PERCENTAGE IN CHEMICAL SPECIES"), this);
  checkBoxPoints_ = new QCheckBox(QStringLiteral("Draw points only"), this);
  for (QWidget* control :
       {static_cast<QWidget*>(labelBasCompA_), static_cast<QWidget*>(comboBoxNK_),
        static_cast<QWidget*>(labelBasCompB_), static_cast<QWidget*>(checkBoxPoints_)})
    control->setFont(plotFont());

  systemChanged();
  connect(comboBoxNK_, &QComboBox::activated, this, [this](int index) {
    componentPosition_ = index;
    redraw();
  });
  connect(checkBoxPoints_, &QCheckBox::toggled, this, [this](bool checked) {
    pointsOnly_ = checked;
    redraw();
  });
}

// The components offered are those of the system shown; the position chosen before stays while
// the list has it.
void PercentageWindow::systemChanged() {
  const QSignalBlocker blocker(comboBoxNK_);
  comboBoxNK_->clear();
  for (const std::string& item : componentChooserItems(system().offered))
    comboBoxNK_->addItem(QString::fromStdString(item));
  componentPosition_ = chooserPosition(componentPosition_, system().offered.size());
  comboBoxNK_->setCurrentIndex(componentPosition_);
}

// The sentence at the top left; the data-set chooser at the top right, the system chooser
// before it.
void PercentageWindow::placeControls() {
  placeAtTopRight(dataSetLabel(), dataSetChooser());
  const int right = dataSetLabel()->isVisibleTo(this) ? dataSetLabel()->x() : width();
  const int gap = 6;
  const QSize chooser = systemChooser()->size();
  const int labelWidth = systemLabel()->sizeHint().width();
  systemChooser()->setGeometry(right - gap - chooser.width(), dataSetChooser()->y(),
                               chooser.width(), dataSetChooser()->height());
  systemLabel()->setGeometry(systemChooser()->x() - gap - labelWidth, dataSetChooser()->y(),
                             labelWidth, dataSetChooser()->height());
  const int height = comboBoxNK_->sizeHint().height();
  int x = kSentenceLeft;
  for (QWidget* control :
       {static_cast<QWidget*>(labelBasCompA_), static_cast<QWidget*>(comboBoxNK_),
        static_cast<QWidget*>(labelBasCompB_)}) {
    const int width = control == comboBoxNK_ ? kComponentChooserWidth : control->sizeHint().width();
    control->setGeometry(x, kSentenceTop, width, height);
    x += width + 4;
  }
  const QSize box = checkBoxPoints_->sizeHint();
  checkBoxPoints_->setGeometry(2, this->height() - box.height() - 1, box.width(), box.height());
}

std::string PercentageWindow::readPlot() {
  const ResultSystem& system = this->system();
  const std::string name = percentageFileName(source().outputName, dataSetIndex(), systemIndex());
  const QString caption = QString::fromStdString(percentageCaption(name));
  if (windowTitle() != caption) setWindowTitle(caption);
  // A position the list does not hold falls back to the first component.
  componentPosition_ = chooserPosition(componentPosition_, system.offered.size());
  const int needed = system.offered.empty() ? 1 : valuesNeeded(system.NS, componentPosition_);
  data_ = loadPercentageFile(name, needed, separator());
  return data_.message;
}

void PercentageWindow::paintPlot(QPainter& painter) {
  const ResultSystem& system = this->system();
  const int Np = system.pointsOf(dataSetIndex());
  const CurveFrame frame = percentageFrame(plotClient(), data_);
  drawPixelLine(painter, percentageFrameCorners(frame), true);
  for (const AxisTick& tick : percentageXTicks(frame, Np, separator())) drawTick(painter, tick);
  for (const AxisTick& tick : percentageYTicks(frame, separator())) drawTick(painter, tick);
  const QString xCaption = QString::fromLatin1(kPercentageXCaption);
  drawTextAt(painter, frame.bottomCaptionAt(textWidth(painter, xCaption)), xCaption);
  drawTextAt(painter, frame.sideCaptionAt(kPercentageYCaptionDx),
             QString::fromLatin1(kPercentageYCaption));

  if (system.offered.empty()) return;
  const int m = componentPosition_;
  const int k = system.offered[static_cast<std::size_t>(m)];
  for (const PercentageCurve& curve : percentageCurves(data_, frame, system.NS, k, m)) {
    painter.setPen(QPen(colourOf(curve.colour), 1, Qt::SolidLine));
    if (pointsOnly_)
      drawPixels(painter, curve.points);
    else
      drawPixelLine(painter, curve.points);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    drawTextAt(painter, curve.labelAtEnd, curve.label);
    drawTextAt(painter, curve.labelAtStart, curve.label);
    painter.setBackgroundMode(Qt::TransparentMode);
  }
}

void PercentageWindow::hover(int mx, int my) {
  const CurveFrame frame = percentageFrame(plotClient(), data_);
  const auto text =
      percentageReadout(frame, system().pointsOf(dataSetIndex()), mx, my, separator());
  if (text) host().setStatusText(3, QString::fromStdString(*text));
}

}  // namespace tarvolin::ui
