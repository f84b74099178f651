#pragma once
// Drawing the result plots with QPainter: the plot fonts, and the layout's pixels, boxes,
// ticks and texts as the plotting functions give them, without antialiasing so that every
// line and point lands on the pixel the layout fixes.

#include <QColor>
#include <QFont>
#include <QString>
#include <span>
#include <string>

#include "ui/results/plotting/plot_geometry.h"

class QPainter;
class QWidget;

namespace tarvolin::ui {

// The default proportional font of the platform at the given size: 8 points for the frame,
// ticks, captions and labels, 9 points for the regression statistics.
QFont plotFont(int points = 8);

QColor colourOf(plotting::Rgb rgb);

// A painter's state for a plot: no antialiasing, transparent text background, black pen of
// width 1, no brush, the 8-point plot font.
void preparePlotPainter(QPainter& painter);

// Text with its top-left corner at the pixel.
void drawTextAt(QPainter& painter, plotting::Pixel at, const QString& text);
void drawTextAt(QPainter& painter, plotting::Pixel at, const std::string& text);
int textWidth(const QPainter& painter, const QString& text);

// A line through the pixels in order; `closed` joins the last to the first.
void drawPixelLine(QPainter& painter, std::span<const plotting::Pixel> pixels, bool closed = false);
// Single pixels in the pen's colour.
void drawPixels(QPainter& painter, std::span<const plotting::Pixel> pixels);
// An ellipse whose outline touches all four sides of the box, in the pen's colour and filled
// with the brush.
void drawEllipseIn(QPainter& painter, const plotting::Box& box);
// The tick mark and its label.
void drawTick(QPainter& painter, const plotting::AxisTick& tick);

}  // namespace tarvolin::ui
