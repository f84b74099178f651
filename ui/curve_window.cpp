#include "ui/curve_window.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "ui/plot_canvas.h"
#include "ui/plotting/data_sets.h"
#include "ui/plotting/plot_fields.h"

namespace tarvolin::ui {

namespace {

constexpr int kControlTop = 4;
constexpr int kControlGap = 6;
constexpr int kChooserWidth = 48;

}  // namespace

CurveWindow::CurveWindow(ResultWindowHost& host, ResultSource source, const QString& chooserLabel,
                         QWidget* parent)
    : QWidget(parent), host_(host), source_(std::move(source)) {
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);

  chooserLabel_ = new QLabel(chooserLabel, this);
  chooserLabel_->setFont(plotFont());
  chooser_ = new QComboBox(this);
  chooser_->setFont(plotFont());
  chooser_->setFixedWidth(kChooserWidth);
  // The report's data sets stay what they were when the window opened: a run closes the
  // result windows before it writes new files.
  const plotting::DataSetChoice choice = plotting::dataSetChoice(source_.system.dataSets, 0);
  for (const std::string& item : choice.items) chooser_->addItem(QString::fromStdString(item));
  chooser_->setCurrentIndex(choice.selected);
  dataSetIndex_ = choice.selected;
  chooserShown_ = choice.shown;
  chooserLabel_->setVisible(choice.shown);
  chooser_->setVisible(choice.shown);
  connect(chooser_, &QComboBox::activated, this, &CurveWindow::chooseDataSet);
}

void CurveWindow::chooseDataSet(int index) {
  dataSetIndex_ = index;
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

void CurveWindow::placeControls() { placeAtTopCentre(chooserLabel_, chooser_); }

void CurveWindow::placeAtTopCentre(QWidget* first, QWidget* second) {
  const int height = second->sizeHint().height();
  const int firstWidth = first->sizeHint().width();
  const int secondWidth = second->width();
  const int left = (width() - firstWidth - kControlGap - secondWidth) / 2;
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
