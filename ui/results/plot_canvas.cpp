#include "ui/results/plot_canvas.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace tarvolin::ui {

namespace {

QPolygon polygonOf(std::span<const plotting::Pixel> pixels) {
  QPolygon polygon(static_cast<int>(pixels.size()));
  for (std::size_t i = 0; i < pixels.size(); ++i)
    polygon.setPoint(static_cast<int>(i), pixels[i].x, pixels[i].y);
  return polygon;
}

}  // namespace

QFont plotFont(int points) {
  QFont font = QApplication::font();
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(points);
  font.setBold(false);
  font.setItalic(false);
  return font;
}

QColor colourOf(plotting::Rgb rgb) { return QColor(static_cast<QRgb>(rgb)); }

void preparePlotPainter(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setBackground(Qt::white);
  painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  painter.setBrush(Qt::NoBrush);
  painter.setFont(plotFont());
}

void drawTextAt(QPainter& painter, plotting::Pixel at, const QString& text) {
  painter.drawText(QPoint(at.x, at.y + painter.fontMetrics().ascent()), text);
}

void drawTextAt(QPainter& painter, plotting::Pixel at, const std::string& text) {
  drawTextAt(painter, at, QString::fromStdString(text));
}

int textWidth(const QPainter& painter, const QString& text) {
  return painter.fontMetrics().horizontalAdvance(text);
}

void drawPixelLine(QPainter& painter, std::span<const plotting::Pixel> pixels, bool closed) {
  if (pixels.empty()) return;
  if (pixels.size() == 1) {
    painter.drawPoint(pixels[0].x, pixels[0].y);
    return;
  }
  QPolygon polygon = polygonOf(pixels);
  if (closed) polygon << polygon.first();
  painter.drawPolyline(polygon);
}

void drawPixels(QPainter& painter, std::span<const plotting::Pixel> pixels) {
  if (!pixels.empty()) painter.drawPoints(polygonOf(pixels));
}

void drawEllipseIn(QPainter& painter, const plotting::Box& box) {
  // A stroked shape covers its rectangle plus the pen's width: the outline then spans the box
  // from left to right and top to bottom inclusive.
  painter.drawEllipse(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top));
}

void drawTick(QPainter& painter, const plotting::AxisTick& tick) {
  painter.drawLine(tick.from.x, tick.from.y, tick.to.x, tick.to.y);
  drawTextAt(painter, tick.labelAt, tick.label);
}

}  // namespace tarvolin::ui
