#include "ui/results/residual_window.h"

#include <QPainter>

#include "ui/results/plot_canvas.h"
#include "ui/results/plotting/data_sets.h"
#include "ui/results/plotting/point_names.h"

namespace tarvolin::ui {

using namespace plotting;

ResidualWindow::ResidualWindow(ResultWindowHost& host, ResultSource source, QWidget* parent)
    : CurveWindow(host, std::move(source),
                  QStringLiteral("Graphical Analysis of Residuals for Data Set:"), defaultSize(),
                  parent) {
  setWindowTitle(QStringLiteral("Residual Analysis"));
}

std::string ResidualWindow::readPlot() {
  plot_ = loadResidualPlot(
      dataSetFileName(source().outputName, dataSetIndex(), kResidualFileExtension, systemIndex()),
      separator());
  return plot_.message;
}

void ResidualWindow::paintPlot(QPainter& painter) {
  const CurveFrame frame = residualFrame(plotClient(), plot_);
  const int widthOfH = textWidth(painter, QStringLiteral("H"));
  drawPixelLine(painter, frame.frame(), true);
  for (const AxisTick& tick : residualXTicks(frame, separator())) drawTick(painter, tick);
  for (const AxisTick& tick : frame.yTicks(widthOfH, separator())) drawTick(painter, tick);

  if (const auto zero = zeroLine(frame)) {
    painter.setPen(QPen(colourOf(kRed), 1, Qt::DashLine));
    drawPixelLine(painter, *zero);
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  }
  if (titleShown()) {
    const QString title = QString::fromLatin1(kResidualTitle);
    drawTextAt(painter, titlePosition(frame.titleAt(textWidth(painter, title))), title);
  }
  const QString xCaption = QString::fromLatin1(kResidualXCaption);
  drawTextAt(painter, frame.bottomCaptionAt(textWidth(painter, xCaption)), xCaption);
  drawTextAt(painter, frame.sideCaptionAt(kResidualYCaptionDx),
             QString::fromLatin1(kResidualYCaption));

  painter.setPen(QPen(colourOf(kPurple), 1, Qt::SolidLine));
  for (const Box& box : residualPointBoxes(frame, plot_)) drawEllipseIn(painter, box);
}

void ResidualWindow::hover(int mx, int my) {
  const CurveFrame frame = residualFrame(plotClient(), plot_);
  const auto text = residualReadout(frame, mx, my, separator());
  if (!text) return;
  host().setStatusText(3, QString::fromStdString(*text));
  const int hit = frame.hitTest(mx, my, plot_.Ycalc, plot_.D);
  host().setStatusText(1, hit > 0 ? QString::fromStdString(curvePointName(hit)) : QString());
}

}  // namespace tarvolin::ui
