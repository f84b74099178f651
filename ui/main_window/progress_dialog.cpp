#include "ui/main_window/progress_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tarvolin::ui {

namespace {

// Title bar room besides the caption: the window icon, the buttons a window manager may add
// and the margins.
constexpr int kTitleBarAllowance = 120;

}  // namespace

ProgressDialog::ProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("Fitting Procedure in Progress"));
  setModal(false);

  auto* grid = new QGridLayout;
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  grid->addWidget(new QLabel(QStringLiteral("Current Iteration:"), this), 0, 0);
  iteration_ = new QLabel(QStringLiteral("0"), this);
  grid->addWidget(new QLabel(QStringLiteral("Value of Fitted Function:"), this), 1, 0);
  value_ = new QLabel(QStringLiteral("0.0"), this);
  for (QLabel* readout : {iteration_, value_}) {
    readout->setFont(fixed);
    readout->setFrameShape(QFrame::StyledPanel);
    readout->setFrameShadow(QFrame::Sunken);
    readout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    readout->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QLatin1Char('0')) * 18);
  }
  grid->addWidget(iteration_, 0, 1);
  grid->addWidget(value_, 1, 1);

  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setDefault(true);
  connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::cancelClicked);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  fitToCaption();
}

void ProgressDialog::setMethod(int methodIndex) {
  static const char* const names[] = {"GRADIENT", "SIMPLEX", "M-CARLO"};
  const char* name = methodIndex >= 0 && methodIndex <= 2 ? names[methodIndex] : names[0];
  setWindowTitle(QStringLiteral("Fitting Procedure %1 in Progress").arg(QLatin1String(name)));
  fitToCaption();
}

// The window is as wide as its caption needs, with room for the title bar's icon and buttons
// (a window manager cuts a caption that does not fit), and never narrower than its contents.
void ProgressDialog::fitToCaption() {
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  const int captionWidth =
      QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarAllowance;
  setFixedSize(layout()->sizeHint().expandedTo(QSize(captionWidth, 0)));
}

void ProgressDialog::setReadouts(const QString& iteration, const QString& value) {
  iteration_->setText(iteration);
  value_->setText(value);
}

QString ProgressDialog::iterationText() const { return iteration_->text(); }
QString ProgressDialog::valueText() const { return value_->text(); }

void ProgressDialog::reject() { emit cancelClicked(); }

void ProgressDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace tarvolin::ui
