#include "ui/platform/gui_platform.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMessageBox>
#include <cfenv>

namespace tarvolin::ui {

namespace {

GuiPlatform::MessageHook& messageHook() {
  static GuiPlatform::MessageHook hook;
  return hook;
}

// Keeps the floating-point status flags of a running fit across window code.
class FloatingPointFlagsKept {
 public:
  FloatingPointFlagsKept() { std::fegetexceptflag(&saved_, FE_ALL_EXCEPT); }
  ~FloatingPointFlagsKept() { std::fesetexceptflag(&saved_, FE_ALL_EXCEPT); }
  FloatingPointFlagsKept(const FloatingPointFlagsKept&) = delete;
  FloatingPointFlagsKept& operator=(const FloatingPointFlagsKept&) = delete;

 private:
  std::fexcept_t saved_;
};

}  // namespace

void GuiPlatform::setMessageHook(MessageHook hook) { messageHook() = std::move(hook); }

MessageResult GuiPlatform::showMessage(MessageKind kind, const std::string& caption,
                                       const std::string& text, MessageButtons buttons) {
  return showMessage(kind, QString::fromStdString(caption), QString::fromStdString(text), buttons);
}

MessageResult GuiPlatform::showMessage(MessageKind kind, const QString& caption,
                                       const QString& text, MessageButtons buttons) {
  FloatingPointFlagsKept kept;
  if (progressWindow_ && progressWindow_->isVisible()) {
    progressWindow_->hide();
    progressHidden_ = true;
  }
  if (messageHook()) return messageHook()(kind, caption, text, buttons);
  QMessageBox::Icon icon = QMessageBox::Information;
  if (kind == MessageKind::Warning) icon = QMessageBox::Warning;
  if (kind == MessageKind::Error) icon = QMessageBox::Critical;
  if (kind == MessageKind::Confirmation) icon = QMessageBox::Question;
  QMessageBox::StandardButtons standard = QMessageBox::Ok;
  if (buttons == MessageButtons::Yes) standard = QMessageBox::Yes;
  if (buttons == MessageButtons::YesNo) standard = QMessageBox::Yes | QMessageBox::No;
  if (buttons == MessageButtons::YesNoCancel)
    standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  // Owned by the main window, and so in front of it under any window manager.
  QMessageBox box(icon, caption, text, standard, parent_);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageResult::Yes;
    case QMessageBox::No:
      return MessageResult::No;
    case QMessageBox::Cancel:
      return MessageResult::Cancel;
    default:
      return MessageResult::Ok;
  }
}

void GuiPlatform::processPendingEvents() {
  FloatingPointFlagsKept kept;
  QCoreApplication::processEvents();
}

void GuiPlatform::showProgress(const std::string& iteration, const std::string& value) {
  FloatingPointFlagsKept kept;
  if (progressHidden_ && progressWindow_) progressWindow_->show();
  progressHidden_ = false;
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
