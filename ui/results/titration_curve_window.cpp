#include "ui/results/titration_curve_window.h"

#include <QCheckBox>
#include <QPainter>

#include "ui/results/plot_canvas.h"
#include "ui/results/plotting/data_sets.h"
#include "ui/results/plotting/point_names.h"

namespace tarvolin::ui {

using namespace plotting;

TitrationCurveWindow::TitrationCurveWindow(ResultWindowHost& host, ResultSource source, QWidget* parent)
    : CurveWindow(host, std::move(source),
                  QStringLiteral("Experimental and Calculated Property for Data Set:"),
                  defaultSize(), parent) {
  setWindowTitle(QStringLiteral("Titration Curve"));
  checkBoxPoints_ = new QCheckBox(QStringLiteral("Draw calc. points"), this);
  checkBoxPoints_->setFont(plotFont());
  checkBoxPoints_->setChecked(false);
  connect(checkBoxPoints_, &QCheckBox::toggled, this, [this](bool checked) {
    drawCalcPoints_ = checked;
    redraw();
  });
}

void TitrationCurveWindow::placeControls() {
  CurveWindow::placeControls();
  const QSize box = checkBoxPoints_->sizeHint();
  checkBoxPoints_->setGeometry(2, height() - box.height() - 1, box.width(), box.height());
}

std::string TitrationCurveWindow::readPlot() {
  plot_ = loadTitrationPlot(
      dataSetFileName(source().outputName, dataSetIndex(), kTitrationFileExtension, systemIndex()),
      separator());
  return plot_.message;
}

void TitrationCurveWindow::paintPlot(QPainter& painter) {
  const CurveFrame frame = titrationFrame(plotClient(), plot_);
  const int widthOfH = textWidth(painter, QStringLiteral("H"));
  drawPixelLine(painter, frame.frame(), true);
  for (const AxisTick& tick : titrationXTicks(frame, separator())) drawTick(painter, tick);
  for (const AxisTick& tick : frame.yTicks(widthOfH, separator())) drawTick(painter, tick);
  if (titleShown()) {
    const QString title = QString::fromLatin1(kTitrationTitle);
    drawTextAt(painter, titlePosition(frame.titleAt(textWidth(painter, title))), title);
  }
  const QString xCaption = QString::fromLatin1(kTitrationXCaption);
  drawTextAt(painter, frame.bottomCaptionAt(textWidth(painter, xCaption)), xCaption);
  drawTextAt(painter, frame.sideCaptionAt(kTitrationYCaptionDx),
             QString::fromLatin1(kTitrationYCaption));

  for (const Box& box : measuredPointBoxes(frame, plot_)) drawEllipseIn(painter, box);

  // Calculated points that share a point number have no spline through them: dots then.
  if (drawCalcPoints_ || !plot_.splineDrawable) {
    painter.setPen(QPen(colourOf(kRed), 1, Qt::SolidLine));
    painter.setBrush(colourOf(kRed));
    for (const Box& box : calculatedDotBoxes(frame, plot_)) drawEllipseIn(painter, box);
    painter.setBrush(Qt::NoBrush);
  } else {
    painter.setPen(QPen(colourOf(kPurple), 1, Qt::SolidLine));
    drawPixelLine(painter, calculatedCurve(frame, plot_));
  }
}

void TitrationCurveWindow::hover(int mx, int my) {
  const CurveFrame frame = titrationFrame(plotClient(), plot_);
  const auto text = titrationReadout(frame, mx, my, separator());
  if (!text) return;
  host().setStatusText(3, QString::fromStdString(*text));
  const int hit = frame.hitTest(mx, my, plot_.expNo, plot_.Yexp);
  host().setStatusText(1, hit > 0 ? QString::fromStdString(curvePointName(hit)) : QString());
}

}  // namespace tarvolin::ui
