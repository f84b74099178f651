#include "ui/gui_platform.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMessageBox>

namespace tarvolin::ui {

MessageResult GuiPlatform::showMessage(MessageKind kind, const std::string& caption,
                                       const std::string& text, MessageButtons buttons) {
  QMessageBox::Icon icon = QMessageBox::Information;
  if (kind == MessageKind::Warning) icon = QMessageBox::Warning;
  if (kind == MessageKind::Error) icon = QMessageBox::Critical;
  if (kind == MessageKind::Confirmation) icon = QMessageBox::Question;
  QMessageBox::StandardButtons standard = QMessageBox::Ok;
  if (buttons == MessageButtons::Yes) standard = QMessageBox::Yes;
  if (buttons == MessageButtons::YesNo) standard = QMessageBox::Yes | QMessageBox::No;
  if (buttons == MessageButtons::YesNoCancel)
    standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), standard,
                  parent_);
  switch (box.exec()) {
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    case QMessageBox::Cancel: return MessageResult::Cancel;
    default: return MessageResult::Ok;
  }
}

void GuiPlatform::processPendingEvents() { QCoreApplication::processEvents(); }

void GuiPlatform::showProgress(const std::string& iteration, const std::string& value) {
  if (progress_) progress_(QString::fromStdString(iteration), QString::fromStdString(value));
}

ClockReading GuiPlatform::now() {
  const QDateTime t = QDateTime::currentDateTime();
  ClockReading r;
  r.year = t.date().year();
  r.month = t.date().month();
  r.day = t.date().day();
  r.dayOfWeek = t.date().dayOfWeek() % 7;  // Qt counts Monday as 1 and Sunday as 7
  r.hour = t.time().hour();
  r.minute = t.time().minute();
  r.second = t.time().second();
  r.millisecond = t.time().msec();
  return r;
}

std::uint64_t GuiPlatform::tickCount() {
  static QElapsedTimer timer = [] {
    QElapsedTimer started;
    started.start();
    return started;
  }();
  return static_cast<std::uint64_t>(timer.nsecsElapsed()) ^
         static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch());
}

}  // namespace tarvolin::ui
