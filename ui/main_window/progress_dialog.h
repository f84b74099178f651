#pragma once
// The progress window of a fit ("Fitting Procedure ... in Progress"): stays on top, has no
// window buttons, shows the iteration (or trial) counter and the objective value, and offers
// Cancel, which asks the fitting method to stop at its next yield.

#include <QDialog>

class QLabel;
class QPushButton;

namespace tarvolin::ui {

class ProgressDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ProgressDialog(QWidget* parent = nullptr);

  // 0 Gradient, 1 Simplex, 2 Monte Carlo: the caption names the method.
  void setMethod(int methodIndex);
  void setReadouts(const QString& iteration, const QString& value);
  QString iterationText() const;
  QString valueText() const;
  QPushButton* cancelButton() const { return cancel_; }

 signals:
  void cancelClicked();

 protected:
  // Escape means Cancel; the window itself closes only when the run ends.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void fitToCaption();

  QLabel* iteration_;
  QLabel* value_;
  QPushButton* cancel_;
};

}  // namespace tarvolin::ui
