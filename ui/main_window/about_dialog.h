#pragma once
// "About Tarvolin": the program's name and version, and the machine's physical memory and its
// load as the system reports them in /proc/meminfo.

#include <QByteArray>
#include <QDialog>
#include <QLocale>
#include <QString>
#include <optional>

namespace tarvolin::ui {

struct MemoryStatus {
  quint64 totalKb = 0;      // physical memory of the machine
  quint64 availableKb = 0;  // what can be had without swapping
};

// Reads MemTotal and MemAvailable (kernels before 3.14 lack the latter: MemFree, Buffers and
// Cached stand in for it). Empty when MemTotal is missing or zero.
std::optional<MemoryStatus> parseMeminfo(const QByteArray& text);
std::optional<MemoryStatus> readMemoryStatus();

// Share of the physical memory in use, in whole per cent.
int memoryLoadPercent(const MemoryStatus& status);

// "16,318,236 KB": kilobytes with the locale's thousands separator.
QString kilobytesText(quint64 kb, const QLocale& locale = QLocale());

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace tarvolin::ui
