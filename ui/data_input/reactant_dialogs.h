#pragma once
// The two small dialogs of the data-input window that ask for a reactant's short name: New
// Reactant (the name of the basic component to add; empty gives the next letter) and Remove
// Reactant (the name of the one to remove). Ok checks the name first: a refusal is shown and
// the dialog stays open. Closing the dialog any other way cancels the addition or removal.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace tarvolin::ui {

class ReactantNameDialog : public QDialog {
  Q_OBJECT

 public:
  // The message that keeps the dialog open at Ok, or nothing when the name may be taken.
  using Refusal = std::function<std::optional<QString>(const QString& name)>;
  // Shows a refusal to the user (an information box with one OK button).
  using RefusalDisplay = std::function<void(QWidget* dialog, const QString& text)>;

  ReactantNameDialog(const QString& caption, QWidget* parent = nullptr);

  void setRefusal(Refusal refusal) { refusal_ = std::move(refusal); }
  void setRefusalDisplay(RefusalDisplay display) { display_ = std::move(display); }

  QString name() const;
  QLineEdit* nameEdit() const { return edit_; }
  QPushButton* okButton() const { return ok_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void okClicked();

  QLineEdit* edit_;
  QPushButton* ok_;
  Refusal refusal_;
  RefusalDisplay display_;
};

// "New Reactant".
class FormNewReactant : public ReactantNameDialog {
  Q_OBJECT
 public:
  explicit FormNewReactant(QWidget* parent = nullptr);
};

// "Remove Reactant".
class FormRemoveReactant : public ReactantNameDialog {
  Q_OBJECT
 public:
  explicit FormRemoveReactant(QWidget* parent = nullptr);
};

}  // namespace tarvolin::ui
