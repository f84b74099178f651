#include "ui/main_window/start_up_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/main_window/splash_picture.h"

namespace tarvolin::ui {

StartUpDialog::StartUpDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Start Tarvolin"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* picture = new QLabel(this);
  picture->setPixmap(splashPicture(QSize(320, 130)));
  picture->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture);

  for (const QString& text : {QStringLiteral("Calculation of stability constants"),
                              QStringLiteral("and related values using experimental measurements"),
                              QStringLiteral("Build 2011.05.15")}) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setCenterButtons(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tarvolin::ui
