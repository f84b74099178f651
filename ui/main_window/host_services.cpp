// The main window's side of the host interfaces: what the editors, the result windows and the
// start dialog may ask of it. Nothing here opens a window, so that a window calling through its
// host never comes back into the code that created it.
#include <QAction>
#include <QLabel>
#include <QStatusBar>

#include "ui/main_window/main_window.h"

namespace tarvolin::ui {

void MainWindow::setStatusText(int panel, const QString& text) {
  if (panel >= 1 && panel <= 3) panels_[panel - 1]->setText(text);
}

QString MainWindow::statusText(int panel) const {
  return panel >= 1 && panel <= 3 ? panels_[panel - 1]->text() : QString();
}

void MainWindow::setStatusFont(const QFont& font) {
  for (QLabel* panel : panels_) panel->setFont(font);
}

void MainWindow::showHint(const QString& hint) {
  if (hint.isEmpty())
    statusBar()->clearMessage();
  else
    statusBar()->showMessage(hint);
}

void MainWindow::setCurrentFileName(const QString& name) { currentFileName_ = name; }

int MainWindow::checkedMethod() const {
  for (int i = 0; i < 3; ++i)
    if (methodActions_[i]->isChecked()) return i;
  return 0;
}

void MainWindow::checkMethod(int index) {
  methodActions_[index >= 0 && index <= 2 ? index : 0]->setChecked(true);
}

void MainWindow::showRunChoice(const QString& text) {
  panels_[2]->setFont(QFont(QStringLiteral("Times New Roman"), 8));
  panels_[2]->setText(text);
}

MessageResult MainWindow::message(MessageKind kind, const QString& caption, const QString& text,
                                  MessageButtons buttons) {
  return platform_.showMessage(kind, caption, text, buttons);
}

}  // namespace tarvolin::ui
