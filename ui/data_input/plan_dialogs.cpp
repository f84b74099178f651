#include "ui/data_input/plan_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/data_input/reactant_dialogs.h"

namespace tarvolin::ui {
namespace {

QMessageBox::Icon iconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Error:
      return QMessageBox::Critical;
    case MessageKind::Confirmation:
      return QMessageBox::Question;
    case MessageKind::Information:
      break;
  }
  return QMessageBox::Information;
}

class QtPlanDialogs : public PlanDialogs {
 public:
  void message(QWidget* parent, MessageKind kind, const QString& caption,
               const QString& text) override {
    QMessageBox box(iconOf(kind), caption, text, QMessageBox::Ok, parent);
    box.exec();
  }

  MessageResult ask(QWidget* parent, const QString& text, bool withCancel) override {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, messageCaption(MessageKind::Confirmation), text, buttons,
                    parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
      case QMessageBox::Yes:
        return MessageResult::Yes;
      case QMessageBox::No:
        return MessageResult::No;
      default:
        return withCancel ? MessageResult::Cancel : MessageResult::No;
    }
  }

  std::optional<QString> openFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter) override {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("DAT"));
    return run(dialog);
  }

  std::optional<QString> saveFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter) override {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The window gives the name its extension first and then asks its own question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return run(dialog);
  }

  std::optional<QString> reactantName(QWidget* parent, ReactantDialogKind kind,
                                      const Refusal& refusal) override {
    std::unique_ptr<ReactantNameDialog> dialog;
    if (kind == ReactantDialogKind::New)
      dialog = std::make_unique<FormNewReactant>(parent);
    else
      dialog = std::make_unique<FormRemoveReactant>(parent);
    dialog->setRefusal(refusal);
    dialog->setRefusalDisplay([this](QWidget* owner, const QString& text) {
      message(owner, MessageKind::Information, messageCaption(MessageKind::Information), text);
    });
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return dialog->name();
  }

 private:
  static std::optional<QString> run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
  }
};

}  // namespace

std::unique_ptr<PlanDialogs> makeQtPlanDialogs() { return std::make_unique<QtPlanDialogs>(); }

QString messageCaption(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return QStringLiteral("Warning");
    case MessageKind::Error:
      return QStringLiteral("Error");
    case MessageKind::Confirmation:
      return QStringLiteral("Confirm");
    case MessageKind::Information:
      break;
  }
  return QStringLiteral("Information");
}

}  // namespace tarvolin::ui
