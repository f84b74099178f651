#pragma once
// The platform services of the desktop program: message boxes, processing of pending window
// events during a fit, the progress dialog's two read-outs and the Cancel request.
//
// The progress window stays on top of the program's windows, so that a message box shown during
// a run would open underneath it: the window is hidden while a box is up and comes back with
// the next progress report.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "base/platform.h"

namespace tarvolin::ui {

class GuiPlatform : public Platform {
 public:
  explicit GuiPlatform(QWidget* parent = nullptr) : parent_(parent) {}

  MessageResult showMessage(MessageKind kind, const std::string& caption, const std::string& text,
                            MessageButtons buttons) override;
  MessageResult showMessage(MessageKind kind, const QString& caption, const QString& text,
                            MessageButtons buttons);
  // Runs the window events that arrived meanwhile. The engine detects its floating-point
  // failures from the IEEE status flags, so the flags are saved before and restored after:
  // whatever the painting code raises must not pass for a failure of the fit.
  void processPendingEvents() override;
  bool cancelRequested() override { return cancel_; }
  bool hasProgressDisplay() override { return static_cast<bool>(progress_); }
  void showProgress(const std::string& iteration, const std::string& value) override;
  ClockReading now() override;
  std::uint64_t tickCount() override;

  // The progress dialog's read-outs; empty when no dialog is shown.
  void setProgressDisplay(std::function<void(const QString&, const QString&)> display) {
    progress_ = std::move(display);
  }
  void requestCancel() { cancel_ = true; }
  void clearCancel() { cancel_ = false; }
  // The progress window of the run under way; null when no run is.
  void setProgressWindow(QWidget* window) { progressWindow_ = window; }

  // Window tests answer the message boxes of every platform object through this hook instead
  // of a modal box; null restores the boxes.
  using MessageHook =
      std::function<MessageResult(MessageKind, const QString&, const QString&, MessageButtons)>;
  static void setMessageHook(MessageHook hook);

 private:
  QWidget* parent_;
  QPointer<QWidget> progressWindow_;
  bool progressHidden_ = false;  // by a message box, until the next progress report
  bool cancel_ = false;
  std::function<void(const QString&, const QString&)> progress_;
};

}  // namespace tarvolin::ui
