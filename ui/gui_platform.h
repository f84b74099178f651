#pragma once
// The platform services of the desktop program: message boxes, processing of pending window
// events during a fit, the progress dialog's two read-outs and the Cancel request.

#include <functional>

#include "base/platform.h"

#include <QString>

class QWidget;

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

  // Window tests answer the message boxes of every platform object through this hook instead
  // of a modal box; null restores the boxes.
  using MessageHook =
      std::function<MessageResult(MessageKind, const QString&, const QString&, MessageButtons)>;
  static void setMessageHook(MessageHook hook);

 private:
  QWidget* parent_;
  bool cancel_ = false;
  std::function<void(const QString&, const QString&)> progress_;
};

}  // namespace tarvolin::ui
