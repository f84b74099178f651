#include "ui/data_input/reactant_dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvolin::ui {

ReactantNameDialog::ReactantNameDialog(const QString& caption, QWidget* parent) : QDialog(parent) {
  setWindowTitle(caption);
  auto* label = new QLabel(QStringLiteral("Short Name for Reactant:"));
  edit_ = new QLineEdit;
  edit_->setObjectName(QStringLiteral("EditReactantName"));
  label->setBuddy(edit_);
  ok_ = new QPushButton(QStringLiteral("Ok"));
  ok_->setObjectName(QStringLiteral("BitBtnOk"));
  // Enter in the name field acts as Ok.
  ok_->setDefault(true);
  ok_->setAutoDefault(true);
  connect(ok_, &QPushButton::clicked, this, &ReactantNameDialog::okClicked);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(edit_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  edit_->setMinimumWidth(180);
}

QString ReactantNameDialog::name() const { return edit_->text(); }

void ReactantNameDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  edit_->setFocus();
}

void ReactantNameDialog::okClicked() {
  if (refusal_) {
    if (const auto refused = refusal_(name())) {
      if (display_) display_(this, *refused);
      edit_->setFocus();
      return;
    }
  }
  accept();
}

FormNewReactant::FormNewReactant(QWidget* parent)
    : ReactantNameDialog(QStringLiteral("New Reactant"), parent) {
  setObjectName(QStringLiteral("FormNewReactant"));
}

FormRemoveReactant::FormRemoveReactant(QWidget* parent)
    : ReactantNameDialog(QStringLiteral("Remove Reactant"), parent) {
  setObjectName(QStringLiteral("FormRemoveReactant"));
}

}  // namespace tarvolin::ui
