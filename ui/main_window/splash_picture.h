#pragma once
// The program's picture: its name over a stylised titration curve, drawn at run time. It is
// the splash window at start and heads the About dialog.

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace tarvolin::ui {

QPixmap splashPicture(QSize size = QSize(480, 300));

// The program's window icon: the titration curve alone.
QIcon programIcon();

// Keeps the splash up: waits, with window events processed, until the whole-seconds count of
// the system clock has grown by `seconds` (so the picture stays one to two seconds for 2).
void holdForClockSeconds(int seconds);

}  // namespace tarvolin::ui
