#include "ui/data_input/fit_curve_panel.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <vector>

#include "ui/data_input/plan/fit_curve_labels.h"
#include "ui/results/plotting/cubic_spline.h"
#include "ui/results/plotting/curve_files.h"
#include "ui/results/plotting/curve_frame.h"
#include "ui/results/plotting/sorting.h"

namespace tarvolin::ui {

using namespace tarvolin::plotting;

namespace {

constexpr int kTicks = 7;  // k = 0..6 on each axis

QColor colour(Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

// The panel's font: a proportional sans serif whose character cell is 12 pixels high, so that
// the seven labels of an axis fit between their ticks.
QFont panelFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  for (int size = kUnit; size > 6; --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).height() <= kUnit) break;
  }
  return font;
}

// Text with its top-left corner at (x, y), as the layout places every label.
void textAt(QPainter& painter, int x, int y, const QString& text) {
  painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

}  // namespace

FitCurveLoad loadFitCurve(const std::string& fileName, char separator) {
  FitCurveLoad load;
  CurveFile file = readCurveFile(fileName, 2, separator);
  if (!file.message.empty()) {
    load.caption = QStringLiteral("Information");
    load.text = file.message == cannotOpenMessage(fileName)
                    ? QStringLiteral("Cannot find file '%1'").arg(QString::fromStdString(fileName))
                    : QString::fromStdString(file.message);
    return load;
  }
  TitrationPlot plot = titrationPlotOf(file);
  // The ranges are those of the measured points: one point, or one measured value at every
  // point, leaves an axis without extent.
  if (!(plot.x.span() != 0 && plot.y.span() != 0)) {
    load.kind = MessageKind::Warning;
    load.caption = QStringLiteral("Titration curve");
    load.text = QStringLiteral("Impossible to plot experimental data");
    return load;
  }
  load.plot = std::move(plot);
  return load;
}

FitCurvePanel::FitCurvePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PaintBoxFitCurve"));
  setFixedSize(kFitCurvePanelWidth, kFitCurvePanelHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FitCurvePanel::setCurve(std::optional<TitrationPlot> plot) {
  plot_ = std::move(plot);
  update();
}

void FitCurvePanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!plot_) return;
  const TitrationPlot& plot = *plot_;

  const QFont font = panelFont();
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const int widthOfH = metrics.horizontalAdvance(QLatin1Char('H'));
  painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  painter.setBrush(Qt::NoBrush);

  const ClientRect client{0, 0, width(), height()};
  const CurveFrame frame(client, plot.x, plot.y);
  const auto corners = frame.frame();
  QPolygon outline;
  for (const Pixel& p : corners) outline << QPoint(p.x, p.y);
  outline << outline.first();
  painter.drawPolyline(outline);

  // Seven ticks per axis: at min + k (max - min) / 6, pixel X0 + M + k W / 6 across and
  // Bottom - M - k H / 6 upwards.
  const auto xLabels = data_input::FitCurveTickLabels(plot.x.min, plot.x.max);
  const auto yLabels = data_input::FitCurveTickLabels(plot.y.min, plot.y.max);
  const int tickBase = frame.areaBottom() + kUnit;
  const int tickLeft = frame.areaLeft() - kUnit;
  for (int k = 0; k < kTicks; ++k) {
    const int x = truncatePixel(frame.areaLeft() + k * static_cast<Real>(frame.width()) / 6);
    painter.drawLine(x, tickBase, x, tickBase - kTickLength);
    textAt(painter, x - 18, tickBase + 1, QString::fromStdString(xLabels[k]));
    const int y = truncatePixel(frame.areaBottom() - k * static_cast<Real>(frame.height()) / 6);
    painter.drawLine(tickLeft, y, tickLeft + kTickLength, y);
    textAt(painter, client.left + widthOfH / 2, y - kLabelHalfHeight,
           QString::fromStdString(yLabels[k]));
  }

  const QString title = QString::fromLatin1(kFitCurveTitle);
  const Pixel titleAt = frame.titleAt(metrics.horizontalAdvance(title));
  textAt(painter, titleAt.x, titleAt.y, title);
  const QString xCaption = QString::fromLatin1(kFitCurveXCaption);
  textAt(painter, client.right - metrics.horizontalAdvance(xCaption) - 5 * widthOfH,
         truncatePixel(client.bottom - 1.5L * kUnit), xCaption);
  textAt(painter, client.left + 1, client.top + kMargin - 2 * kUnit - 1,
         QString::fromLatin1(kFitCurveYCaption));

  for (const Box& b : measuredPointBoxes(frame, plot))
    painter.drawEllipse(QRect(b.left, b.top, b.right - b.left, b.bottom - b.top));

  const std::vector<Pixel> curve = calculatedCurve(frame, plot);
  if (curve.size() >= 2) {
    QPolygon line;
    for (const Pixel& p : curve) line << QPoint(p.x, p.y);
    painter.setPen(QPen(colour(kPurple), 1, Qt::SolidLine));
    painter.drawPolyline(line);
  }
}

}  // namespace tarvolin::ui
