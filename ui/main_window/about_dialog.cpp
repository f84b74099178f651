#include "ui/main_window/about_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/main_window/splash_picture.h"

namespace tarvolin::ui {

std::optional<MemoryStatus> parseMeminfo(const QByteArray& text) {
  quint64 total = 0, available = 0, fallback = 0;
  bool haveAvailable = false;
  for (const QByteArray& line : text.split('\n')) {
    const int colon = line.indexOf(':');
    if (colon < 0) continue;
    const QByteArray key = line.left(colon).trimmed();
    const QList<QByteArray> fields = line.mid(colon + 1).simplified().split(' ');
    bool ok = false;
    const quint64 value = fields.value(0).toULongLong(&ok);
    if (!ok) continue;
    if (key == "MemTotal") total = value;
    if (key == "MemAvailable") {
      available = value;
      haveAvailable = true;
    }
    if (key == "MemFree" || key == "Buffers" || key == "Cached") fallback += value;
  }
  if (total == 0) return std::nullopt;
  MemoryStatus status;
  status.totalKb = total;
  status.availableKb = std::min(total, haveAvailable ? available : fallback);
  return status;
}

std::optional<MemoryStatus> readMemoryStatus() {
  QFile file(QStringLiteral("/proc/meminfo"));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  // /proc files report a size of 0: read until the end instead.
  return parseMeminfo(file.readAll());
}

int memoryLoadPercent(const MemoryStatus& status) {
  if (status.totalKb == 0) return 0;
  const quint64 used = status.totalKb - std::min(status.availableKb, status.totalKb);
  return static_cast<int>((used * 100 + status.totalKb / 2) / status.totalKb);
}

QString kilobytesText(quint64 kb, const QLocale& locale) {
  QLocale grouped = locale;
  grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return grouped.toString(kb) + QStringLiteral(" KB");
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Tarvolin"));
  auto* layout = new QVBoxLayout(this);

  auto* picture = new QLabel(this);
  picture->setPixmap(splashPicture(QSize(360, 150)));
  picture->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture);

  auto addLine = [&](const QString& text, int pointDelta = 0, bool bold = false) {
    auto* label = new QLabel(text, this);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() + pointDelta);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
  };
  addLine(QStringLiteral("TARVOLIN"), 6, true);
  addLine(QStringLiteral("Modeling of Chemical Equilibria in Solutions"), 1);
  addLine(QStringLiteral("Version 7.23"));
  addLine(QStringLiteral(
      "Calculation of stability constants and related values using experimental measurements"));
  addLine(QStringLiteral("Build 2011.05.15"));

  auto* rule = new QFrame(this);
  rule->setFrameShape(QFrame::HLine);
  layout->addWidget(rule);

  const std::optional<MemoryStatus> memory = readMemoryStatus();
  addLine(QStringLiteral("Physical Memory Available to Windows:"));
  addLine(memory ? kilobytesText(memory->totalKb) : QStringLiteral("-"))
      ->setObjectName(QStringLiteral("PhysicalMemory"));
  addLine(QStringLiteral("Memory in Use:"));
  addLine(memory ? QString::number(memoryLoadPercent(*memory)) + QStringLiteral(" %")
                 : QStringLiteral("-"))
      ->setObjectName(QStringLiteral("MemoryLoad"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tarvolin::ui
