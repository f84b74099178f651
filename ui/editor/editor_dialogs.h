#pragma once
// The modal dialogs of an editor window behind one interface: message boxes, the save dialog,
// the font dialog and the two printer dialogs. The desktop program uses the Qt dialogs; tests
// put a scripted set in their place so that nothing waits for a person.

#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace tarvolin::ui {

enum class Answer { Yes, No, Cancel };

struct SaveChoice {
  QString path;         // the name as the user typed or picked it
  int filterIndex = 0;  // the filter selected when the dialog was confirmed
};

class EditorDialogs {
 public:
  virtual ~EditorDialogs() = default;

  // A message with the exclamation icon and an OK button.
  virtual void warning(QWidget* parent, const QString& caption, const QString& text) = 0;
  // A message with the information icon and an OK button.
  virtual void information(QWidget* parent, const QString& caption, const QString& text) = 0;
  // A message with the error icon and an OK button.
  virtual void error(QWidget* parent, const QString& caption, const QString& text) = 0;
  // A question with Yes, No and Cancel; closing the box counts as Cancel.
  virtual Answer askYesNoCancel(QWidget* parent, const QString& caption, const QString& text) = 0;
  // The save dialog: starts at `start` (folder and name) with filter `filterIndex` selected;
  // nothing when it was cancelled.
  virtual std::optional<SaveChoice> saveFileName(QWidget* parent, const QString& start,
                                                 const QStringList& filters, int filterIndex) = 0;
  // The font dialog starting from `initial`; nothing when it was cancelled.
  virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
  // Page and printer set-up for later printing; the printer keeps what was chosen.
  virtual void printerSetup(QWidget* parent, QPrinter& printer) = 0;
  // The print dialog; true when the user asked to print.
  virtual bool print(QWidget* parent, QPrinter& printer) = 0;
};

// The Qt dialogs.
std::unique_ptr<EditorDialogs> makeQtEditorDialogs();

// What createEditorWindow gives each new editor window: the Qt dialogs, unless a test installed a
// factory of its own (an empty function restores the Qt dialogs).
void setEditorDialogsFactory(std::function<std::unique_ptr<EditorDialogs>()> factory);
std::unique_ptr<EditorDialogs> makeEditorDialogs();

}  // namespace tarvolin::ui
