#pragma once
// What an editor window needs from the main window that holds it: the status bar read-outs,
// the work folder and the name of the run whose report it shows. The main window's File
// commands that the editor's own menu offers go the other way, as the editor's signals, so
// that the editor never calls into the window that creates it.

#include <QString>

class QFont;

namespace tarvolin::ui {

class EditorHost {
 public:
  virtual ~EditorHost() = default;

  // Status bar panels 1 to 3 (panel 1: "Line: ... Col: ...", panel 2: "Modified").
  virtual void setStatusText(int panel, const QString& text) = 0;
  virtual void setStatusFont(const QFont& font) = 0;
  // The application's hint line.
  virtual void showHint(const QString& hint) = 0;

  // The file the main window regards as current (Save Image proposes its name).
  virtual void setCurrentFileName(const QString& name) = 0;
  // While the main window opens the results of a run that has just ended, a report window's
  // caption names the run's input file: "run1.OUT  for  TEST.DAT".
  virtual bool openingRunResults() const = 0;
  virtual QString runInputName() const = 0;
  // The work folder: where the dialogs start and where files without a folder live.
  virtual QString workFolder() const = 0;
};

}  // namespace tarvolin::ui
