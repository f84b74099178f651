#pragma once
// The modal dialogs of the data-input window behind one interface: message boxes, the two
// questions, the open and save dialogs and the two reactant-name dialogs. The desktop program
// uses the Qt dialogs; tests put a scripted set in their place so that nothing waits for a
// person.

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "base/platform.h"

class QWidget;

namespace tarvolin::ui {

enum class ReactantDialogKind { New, Remove };

class PlanDialogs {
 public:
  virtual ~PlanDialogs() = default;

  // A message with one OK button; the icon follows the kind.
  virtual void message(QWidget* parent, MessageKind kind, const QString& caption,
                       const QString& text) = 0;
  // A question with Yes and No, and Cancel when withCancel; closing the box counts as Cancel
  // (or No without a Cancel button).
  virtual MessageResult ask(QWidget* parent, const QString& text, bool withCancel) = 0;
  // The open and save dialogs, starting in `folder`, with one filter in Qt's notation. Nothing
  // when cancelled. The save dialog does not ask about overwriting: the window does.
  virtual std::optional<QString> openFileName(QWidget* parent, const QString& title,
                                              const QString& folder, const QString& filter) = 0;
  virtual std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                              const QString& folder, const QString& filter) = 0;
  // The New Reactant or Remove Reactant dialog. `refusal` is asked at Ok: a text is shown as an
  // information message and the dialog stays open. Nothing when the dialog was closed without
  // a name being taken.
  using Refusal = std::function<std::optional<QString>(const QString& name)>;
  virtual std::optional<QString> reactantName(QWidget* parent, ReactantDialogKind kind,
                                              const Refusal& refusal) = 0;
};

// The Qt dialogs.
std::unique_ptr<PlanDialogs> makeQtPlanDialogs();

// The caption of a message box of the window's kind: "Information", "Warning", "Error",
// "Confirm".
QString messageCaption(MessageKind kind);

}  // namespace tarvolin::ui
