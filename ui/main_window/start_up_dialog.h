#pragma once
// The start-up greeting ("Start Tarvolin"), offered once, at random, when the mouse first moves
// over the main window.

#include <QDialog>

namespace tarvolin::ui {

// The draw that decides the offer: two numbers from [0, 1).
inline bool startUpDialogDrawn(double r1, double r2) { return r1 < 0.9 && r2 > 0.6; }

class StartUpDialog : public QDialog {
  Q_OBJECT

 public:
  explicit StartUpDialog(QWidget* parent = nullptr);
};

}  // namespace tarvolin::ui
