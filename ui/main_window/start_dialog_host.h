#pragma once
// What the start dialog needs from the main window: the Method menu's check mark, the status
// panel that shows the choices of the coming run, the work folder and the message boxes. Its
// "View" and "Edit" buttons go the other way, as the dialog's signal.

#include <QString>

#include "base/platform.h"

namespace tarvolin::ui {

class StartDialogHost {
 public:
  virtual ~StartDialogHost() = default;
  // The Method menu's check mark: 0 Gradient, 1 Simplex, 2 Monte Carlo.
  virtual int checkedMethod() const = 0;
  // Anything but 0, 1 or 2 checks Gradient.
  virtual void checkMethod(int index) = 0;
  // The main window's third status panel: the choices of the coming run.
  virtual void showRunChoice(const QString& text) = 0;
  virtual QString workFolder() const = 0;
  virtual MessageResult message(MessageKind kind, const QString& caption, const QString& text,
                                MessageButtons buttons) = 0;
};

}  // namespace tarvolin::ui
