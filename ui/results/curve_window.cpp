#include "ui/results/curve_window.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "ui/results/choosers.h"
#include "ui/results/plot_canvas.h"
#include "ui/results/plotting/data_sets.h"
#include "ui/results/plotting/plot_fields.h"

namespace tarvolin::ui {

namespace {

constexpr int kControlTop = 4;
constexpr int kControlGap = 6;
constexpr int kChooserWidth = 48;

}  // namespace

CurveWindow::CurveWindow(ResultWindowHost& host, ResultSource source, const QString& chooserLabel,
                         QSize preferredSize, QWidget* parent)
    : QWidget(parent), host_(host), source_(std::move(source)), preferredSize_(preferredSize) {
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);

  chooserLabel_ = new QLabel(chooserLabel, this);
  chooser_ = new QComboBox(this);
  systemLabel_ = new QLabel(QStringLiteral("System:"), this);
  systemChooser_ = new QComboBox(this);
  for (QComboBox* combo : {chooser_, systemChooser_}) combo->setFixedWidth(kChooserWidth);
  for (QWidget* control :
       {static_cast<QWidget*>(chooserLabel_), static_cast<QWidget*>(chooser_),
        static_cast<QWidget*>(systemLabel_), static_cast<QWidget*>(systemChooser_)})
    control->setFont(plotFont());
  // The report's systems and data sets stay what they were when the window opened: a run
  // closes the result windows before it writes new files.
  showChoice(systemChooser_, systemLabel_, plotting::dataSetChoice(source_.systemCount(), 0));
  fillDataSetChooser();
  connect(chooser_, &QComboBox::activated, this, &CurveWindow::chooseDataSet);
  connect(systemChooser_, &QComboBox::activated, this, &CurveWindow::chooseSystem);
}

QSize CurveWindow::minimumSizeHint() const {
  return {std::min(preferredSize_.width(), 360), std::min(preferredSize_.height(), 240)};
}

// The data sets of the system shown; the one chosen before stays while the system has it.
void CurveWindow::fillDataSetChooser() {
  const plotting::DataSetChoice choice = plotting::dataSetChoice(system().dataSets, dataSetIndex_);
  showChoice(chooser_, chooserLabel_, choice);
  dataSetIndex_ = choice.selected;
  chooserShown_ = choice.shown;
}

void CurveWindow::chooseDataSet(int index) {
  dataSetIndex_ = index;
  redraw();
}

void CurveWindow::chooseSystem(int index) {
  systemIndex_ = index;
  fillDataSetChooser();
  systemChanged();
  placeControls();
  redraw();
}

void CurveWindow::redraw() {
  shownMessage_.clear();
  draw();
}

void CurveWindow::draw() {
  const std::string message = read();
  update();
  if (!message.empty()) report(message);
}

std::string CurveWindow::read() {
  if (!source_.folder.isEmpty()) QDir::setCurrent(source_.folder);
  separator_ = plotting::userDecimalSeparator();
  const std::string message = readPlot();
  hasPlot_ = message.empty();
  if (hasPlot_) shownMessage_.clear();
  lastMessage_ = message;
  return message;
}

void CurveWindow::report(const std::string& message) {
  if (message.empty() || message == shownMessage_) return;
  shownMessage_ = message;
  host_.message(MessageKind::Information, QStringLiteral("Information"),
                QString::fromStdString(message), MessageButtons::Yes);
}

void CurveWindow::paintEvent(QPaintEvent*) {
  const std::string message = read();
  if (!message.empty()) {
    // A modal box does not belong inside a paint. By the time it can be shown the file may
    // have been read again: what that read found is what is reported.
    QTimer::singleShot(0, this, [this] { report(lastMessage_); });
    return;
  }
  QPainter painter(this);
  preparePlotPainter(painter);
  paintPlot(painter);
}

void CurveWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!hasPlot_) return;
  const QPoint at = event->position().toPoint();
  hover(at.x(), at.y());
}

void CurveWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeControls();
  update();
}

void CurveWindow::placeControls() {
  const int height = systemChooser_->sizeHint().height();
  const int labelWidth = systemLabel_->sizeHint().width();
  systemLabel_->setGeometry(kControlGap, kControlTop, labelWidth, height);
  systemChooser_->setGeometry(kControlGap * 2 + labelWidth, kControlTop, kChooserWidth, height);
  placeAtTopCentre(chooserLabel_, chooser_);
}

int CurveWindow::systemChooserRight() const {
  return systemChooser_->isVisibleTo(this) ? systemChooser_->geometry().right() + kControlGap : 0;
}

plotting::Pixel CurveWindow::titlePosition(plotting::Pixel centred) const {
  return {std::max(centred.x, systemChooserRight()), centred.y};
}

void CurveWindow::placeAtTopCentre(QWidget* first, QWidget* second) {
  const int height = second->sizeHint().height();
  const int firstWidth = first->sizeHint().width();
  const int secondWidth = second->width();
  const int centred = (width() - firstWidth - kControlGap - secondWidth) / 2;
  const int left = std::max(centred, systemChooserRight());
  first->setGeometry(left, kControlTop, firstWidth, height);
  second->setGeometry(left + firstWidth + kControlGap, kControlTop, secondWidth, height);
}

void CurveWindow::placeAtTopRight(QWidget* first, QWidget* second) {
  const int height = second->sizeHint().height();
  const int firstWidth = first->sizeHint().width();
  const int secondWidth = second->width();
  const int secondLeft = width() - secondWidth - kControlGap;
  second->setGeometry(secondLeft, kControlTop, secondWidth, height);
  first->setGeometry(secondLeft - kControlGap - firstWidth, kControlTop, firstWidth, height);
}

}  // namespace tarvolin::ui
