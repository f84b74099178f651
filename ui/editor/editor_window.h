#pragma once
// The text editor window: a plain-text editor for input files (*.DAT, *.SQD) and reports
// (*.OUT) inside the main window, with its own File, Edit and Character menus, a pop-up menu,
// find, print, and the line/column and "Modified" read-outs in the main window's status bar.
// Files are written with CR LF line ends. Saving a report under a new name also copies the
// plot data files the run left beside it, so that the result windows of the saved report find
// their data.

#include <QString>
#include <QWidget>
#include <memory>

#include "ui/editor/editor_dialogs.h"
#include "ui/editor/editor_host.h"

class QAction;
class QMenu;
class QMenuBar;
class QPrinter;
class QTextEdit;

namespace tarvolin::ui {

class FindDialog;

class EditorWindow : public QWidget {
  Q_OBJECT

 public:
  // The name of a window that has no file yet.
  static inline const QString kUntitled = QStringLiteral("Untitled");

  explicit EditorWindow(EditorHost* host, std::unique_ptr<EditorDialogs> dialogs,
                        QWidget* parent = nullptr);
  ~EditorWindow() override;

  // Loads a file into this window. When it cannot be read, says so ("Cannot open file '...'")
  // and leaves the window empty; false then.
  bool openFile(const QString& path);
  // Sets the file name and the caption: the name without its folder, and for a report opened
  // right after a run, that name, "  for  " and the run's input file.
  void setFileName(const QString& path);
  QString fileName() const { return fileName_; }

  // Writes the text to the file (Save as for an untitled window). A write that fails is
  // reported and leaves the text marked modified; false then, and also when cancelled.
  bool save();
  bool saveAs();

  bool isModified() const;

  // Eighty columns by thirty lines of the editor's font; below the minimum the text does not
  // read.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // Puts the cursor at the start of the line (from 1; past the end: the last line) and scrolls
  // it and the line after it into view.
  void goToLine(int line);

  // Looks for `text` from the end of the selection to the end of the text; a match is
  // selected and scrolled into view. False, with nothing changed, when there is none.
  bool findNext(const QString& text, bool matchCase, bool wholeWord);
  // The find dialog's Find Next and F3: findNext, and when nothing is found the message
  // Cannot find "text".
  void findNextOrSay(const QString& text, bool matchCase, bool wholeWord);

  // Panel 1 "Line: ... Col: ..." of the cursor and panel 2 "Modified"; the main window calls
  // this when the window becomes active.
  void updateStatus();
  // Enables Paste when the clipboard holds text, Cut, Copy and Delete when text is selected;
  // done whenever the Edit menu or the pop-up menu opens, the selection or the clipboard
  // changes.
  void updateEditCommands();

  QTextEdit* editor() const { return editor_; }
  QMenuBar* menuBar() const { return menuBar_; }
  QMenu* popupMenu() const { return popup_; }
  // The find dialog, created at its first use.
  FindDialog* findDialog();
  // The printer shared by Print and Printer setup, created at its first use.
  QPrinter& printer();
  void setDialogs(std::unique_ptr<EditorDialogs> dialogs);

 signals:
  // The main window's File commands, which the editor's own File menu offers as well.
  void newRequested();
  void openRequested();
  void closeAllRequested();
  void exitRequested();
  // A file dropped on the editor: it opens in a new editor window.
  void fileDropped(const QString& path);

 public slots:
  void showFindDialog();
  void print();
  void printerSetup();
  void chooseFont();
  void setWordWrap(bool wrap);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createMenus();
  QAction* addCommand(QMenu* menu, const QString& name, const QString& caption,
                      const QKeySequence& shortcut = {});
  void setEditorFont();
  static void showMainWindowShortcut(QAction* action, const QKeySequence& shortcut);
  bool writeFile(const QString& path);
  void openDroppedFiles(const QStringList& paths);
  void closeWindow();

  EditorHost* host_;
  std::unique_ptr<EditorDialogs> dialogs_;
  QString fileName_ = kUntitled;
  QMenuBar* menuBar_ = nullptr;
  QTextEdit* editor_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* popup_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  QAction* delete_ = nullptr;
  QAction* wordWrap_ = nullptr;
  FindDialog* findDialog_ = nullptr;
  std::unique_ptr<QPrinter> printer_;
  // How the file was encoded, so that saving writes it back the same way: UTF-8 unless it
  // held bytes that are not UTF-8 (then Latin-1), and a UTF-8 byte-order mark when it had one.
  bool latin1_ = false;
  bool byteOrderMark_ = false;
};

// A new, empty editor window ("Untitled") with the desktop program's dialogs.
EditorWindow* createEditorWindow(EditorHost* host, QWidget* parent = nullptr);

// The save dialog's filters, in the order the extension rule counts them.
QStringList editorSaveFilters();
// The filter the save dialog starts on: the one of the file's own kind (a report starts on the
// report filter, so that a name typed without extension gives a report), the first otherwise.
int startingFilter(const QString& path);
// The extension rule of Save as: filters 0, 1 and 2 give the name the extension ".DAT",
// ".SQD" or ".OUT" (replacing the last extension of the file-name part, or appended when it
// has none); a name that already carries it, in any letter case, stays as typed. Any other
// filter keeps the name as typed.
QString applyFilterExtension(const QString& path, int filterIndex);

// Text as written to a file: every line break (LF, CR LF, lone CR) becomes CR LF.
QString withCrLf(const QString& text);

}  // namespace tarvolin::ui
