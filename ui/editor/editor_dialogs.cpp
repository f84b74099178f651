#include "ui/editor/editor_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace tarvolin::ui {
namespace {

class QtEditorDialogs : public EditorDialogs {
 public:
  void warning(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::warning(parent, caption, text);
  }

  void information(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::information(parent, caption, text);
  }

  void error(QWidget* parent, const QString& caption, const QString& text) override {
    QMessageBox::critical(parent, caption, text);
  }

  Answer askYesNoCancel(QWidget* parent, const QString& caption, const QString& text) override {
    const auto button = QMessageBox::question(
        parent, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Yes);
    if (button == QMessageBox::Yes) return Answer::Yes;
    if (button == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
  }

  std::optional<SaveChoice> saveFileName(QWidget* parent, const QString& start,
                                         const QStringList& filters, int filterIndex) override {
    QFileDialog dialog(parent, QObject::tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The editor asks its own overwrite question after the extension rule has been applied.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    if (filterIndex >= 0 && filterIndex < filters.size()) {
      dialog.selectNameFilter(filters[filterIndex]);
    }
    const QFileInfo startInfo(start);
    dialog.setDirectory(startInfo.absolutePath());
    dialog.selectFile(startInfo.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return SaveChoice{dialog.selectedFiles().first(),
                      static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
  }

  std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) return std::nullopt;
    return font;
  }

  void printerSetup(QWidget* parent, QPrinter& printer) override {
    QPageSetupDialog dialog(&printer, parent);
    dialog.exec();
  }

  bool print(QWidget* parent, QPrinter& printer) override {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }
};

std::function<std::unique_ptr<EditorDialogs>()>& dialogsFactory() {
  static std::function<std::unique_ptr<EditorDialogs>()> factory;
  return factory;
}

}  // namespace

std::unique_ptr<EditorDialogs> makeQtEditorDialogs() { return std::make_unique<QtEditorDialogs>(); }

void setEditorDialogsFactory(std::function<std::unique_ptr<EditorDialogs>()> factory) {
  dialogsFactory() = std::move(factory);
}

std::unique_ptr<EditorDialogs> makeEditorDialogs() {
  if (dialogsFactory()) return dialogsFactory()();
  return makeQtEditorDialogs();
}

}  // namespace tarvolin::ui
