#include "ui/editor/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvolin::ui {

FindDialog::FindDialog(QWidget* parent)
    : QDialog(parent),
      text_(new QLineEdit(this)),
      matchCase_(new QCheckBox(tr("Match &case"), this)),
      wholeWord_(new QCheckBox(tr("Match &whole word only"), this)),
      findNext_(new QPushButton(tr("&Find Next"), this)) {
  setWindowTitle(tr("Find"));
  setModal(false);

  auto* label = new QLabel(tr("Fi&nd what:"), this);
  label->setBuddy(text_);
  auto* cancel = new QPushButton(tr("Cancel"), this);
  findNext_->setDefault(true);
  findNext_->setEnabled(false);

  auto* layout = new QGridLayout(this);
  layout->addWidget(label, 0, 0);
  layout->addWidget(text_, 0, 1);
  layout->addWidget(wholeWord_, 1, 0, 1, 2);
  layout->addWidget(matchCase_, 2, 0, 1, 2);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(findNext_);
  buttons->addWidget(cancel);
  buttons->addStretch();
  layout->addLayout(buttons, 0, 2, 3, 1);

  connect(text_, &QLineEdit::textChanged, this,
          [this](const QString& t) { findNext_->setEnabled(!t.isEmpty()); });
  connect(findNext_, &QPushButton::clicked, this,
          [this] { emit findNext(text(), matchCase(), wholeWord()); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString FindDialog::text() const { return text_->text(); }
bool FindDialog::matchCase() const { return matchCase_->isChecked(); }
bool FindDialog::wholeWord() const { return wholeWord_->isChecked(); }

}  // namespace tarvolin::ui
