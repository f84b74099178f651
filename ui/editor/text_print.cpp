#include "ui/editor/text_print.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace tarvolin::ui {

namespace {

constexpr int kTabWidth = 8;
constexpr qreal kSizeStep = 0.25;  // points
// Lines under the text kept for the page number: a blank one and the number.
constexpr int kFooterLines = 2;

QString expandedTabs(const QString& line) {
  if (!line.contains(QLatin1Char('\t'))) return line;
  QString out;
  for (const QChar c : line) {
    if (c == QLatin1Char('\t'))
      out += QString(kTabWidth - out.size() % kTabWidth, QLatin1Char(' '));
    else
      out += c;
  }
  return out;
}

QStringList printedLines(const QString& text) {
  QString plain = text;
  plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  QStringList lines = plain.split(QLatin1Char('\n'));
  if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
  for (QString& line : lines) line = expandedTabs(line);
  return lines;
}

qreal widestLine(const QStringList& lines, const QFont& font, QPaintDevice* device) {
  const QFontMetricsF metrics(font, device);
  qreal widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

// The largest size, not above the font's own, at which the widest line fits `room`.
qreal fittingSize(const QStringList& lines, QFont font, QPaintDevice* device, qreal room) {
  const qreal own = font.pointSizeF();
  const qreal widest = widestLine(lines, font, device);
  if (widest <= room) return own;
  qreal size = std::floor(own * room / widest / kSizeStep) * kSizeStep;
  for (font.setPointSizeF(size); size > kSizeStep && widestLine(lines, font, device) > room;
       font.setPointSizeF(size))
    size -= kSizeStep;
  return size;
}

}  // namespace

qreal printableWidth(const QPrinter& printer, QPageLayout::Orientation orientation) {
  QPageLayout layout = printer.pageLayout();
  layout.setOrientation(orientation);
  return layout.paintRectPixels(printer.resolution()).width();
}

TextPrintLayout textPrintLayout(const QStringList& lines, QPrinter& printer, QFont font) {
  TextPrintLayout result;
  result.orientation = printer.pageLayout().orientation();
  qreal size = fittingSize(lines, font, &printer, printableWidth(printer, result.orientation));
  if (size < font.pointSizeF() && result.orientation == QPageLayout::Portrait) {
    const qreal landscape =
        fittingSize(lines, font, &printer, printableWidth(printer, QPageLayout::Landscape));
    if (landscape > size) {
      size = landscape;
      result.orientation = QPageLayout::Landscape;
    }
  }
  font.setPointSizeF(size);
  result.font = font;
  QPageLayout layout = printer.pageLayout();
  layout.setOrientation(result.orientation);
  const qreal height = layout.paintRectPixels(printer.resolution()).height();
  const qreal spacing = QFontMetricsF(font, &printer).lineSpacing();
  result.linesPerPage = std::max(1, static_cast<int>(height / spacing) - kFooterLines);
  result.pages = std::max<int>(
      1, (static_cast<int>(lines.size()) + result.linesPerPage - 1) / result.linesPerPage);
  return result;
}

bool printText(const QString& text, QPrinter& printer, const QFont& font) {
  const QStringList lines = printedLines(text);
  const TextPrintLayout layout = textPrintLayout(lines, printer, font);
  printer.setPageOrientation(layout.orientation);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.setFont(layout.font);
  const QFontMetricsF metrics(layout.font, &printer);
  const QRect page = painter.viewport();
  const qreal spacing = metrics.lineSpacing();
  for (int p = 0; p < layout.pages; ++p) {
    if (p > 0) printer.newPage();
    const qsizetype first = static_cast<qsizetype>(p) * layout.linesPerPage;
    const qsizetype last = std::min<qsizetype>(lines.size(), first + layout.linesPerPage);
    qreal baseline = metrics.ascent();
    for (qsizetype i = first; i < last; ++i, baseline += spacing)
      painter.drawText(QPointF(0, baseline), lines[i]);
    const QString number = QString::number(p + 1);
    painter.drawText(QPointF((page.width() - metrics.horizontalAdvance(number)) / 2,
                             page.height() - metrics.descent()),
                     number);
  }
  return painter.end();
}

}  // namespace tarvolin::ui
