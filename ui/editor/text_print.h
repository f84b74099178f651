#pragma once
// Printing a plain text so that nothing is cut: a report's species lines run to 170 characters,
// and a line cut at the page edge loses the lgBETA and additive-value columns. The text keeps
// its lines (no wrapping, which would break the columns apart); the font is made small enough,
// and the page turned to landscape when that gives the larger font, for the longest line to fit
// the page's width. Long texts run over several pages, each numbered at its foot.

#include <QFont>
#include <QPageLayout>
#include <QStringList>

class QPrinter;

namespace tarvolin::ui {

struct TextPrintLayout {
  QFont font;  // the text's font at the size chosen
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  int linesPerPage = 1;
  int pages = 1;
};

// The layout of `lines` on the printer's pages: the font at its own size when the longest line
// fits, otherwise at the largest size that fits in portrait or in landscape, whichever is
// larger (a landscape page chosen by the user stays landscape).
TextPrintLayout textPrintLayout(const QStringList& lines, QPrinter& printer, QFont font);

// Prints the text in that layout with the page number under each page; false when the printer
// cannot be opened.
bool printText(const QString& text, QPrinter& printer, const QFont& font);

// Width of a line's room on the printer's page, in the printer's pixels, for an orientation.
qreal printableWidth(const QPrinter& printer, QPageLayout::Orientation orientation);

}  // namespace tarvolin::ui
