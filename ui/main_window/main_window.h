#pragma once
// The main window of the desktop program: a frame holding document windows (editors, result
// plots, pictures), with the menus, the speed bar and a three-panel status bar, and the run
// control: the compute commands that take the user's choices from the start dialog, run the
// chosen fitting method on the window thread with the progress window up, and then open the
// report, or the input file for correction when it could not be read.
//
// The class is defined in parts, each a file of this folder, from the top down:
//   start_and_close.cpp   creation, the start-up greeting, the closing question and history;
//   menus.cpp             the menus, the speed bar, the status bar and Help;
//   run_control.cpp       the compute command, from the start dialog to the result windows;
//   pictures.cpp          Save as Image, Print and Load Image;
//   document_windows.cpp  opening, arranging and listing the document windows;
//   host_services.cpp     what the windows it opens ask of it (status panels, messages, the
//                         Method menu's check mark), through their host interfaces.
// A part calls only the parts below it; the windows it opens never call into it but through
// their hosts, and their commands come back as signals.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <random>

#include "model/model.h"
#include "ui/editor/editor_host.h"
#include "ui/main_window/start_dialog_host.h"
#include "ui/platform/gui_platform.h"
#include "ui/results/result_window_host.h"

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;

namespace tarvolin::ui {

class CurveWindow;
class EditorWindow;
class ProgressDialog;
class RegressionWindow;
class StartDialog;
class UserGuideWindow;

// Load Image hands a JPEG to the external viewer "Imagist.exe" when the file exists, its
// extension cut to four characters reads ".JPG" (so picture.jpeg does not qualify), and the
// viewer lies in the given folder.
bool viewerShouldStart(const QString& imagePath, const QString& folder);
// The viewer's command line: Imagist.exe "file" jpg.
QString viewerCommandLine(const QString& imagePath);

class MainWindow : public QMainWindow,
                   public EditorHost,
                   public StartDialogHost,
                   public ResultWindowHost {
  Q_OBJECT

 public:
  // The work folder must exist and be writable (see work_folder.h); it becomes current.
  explicit MainWindow(const QString& workFolder, QWidget* parent = nullptr);
  ~MainWindow() override;

  // --- what an editor window needs ---
  void setStatusText(int panel, const QString& text) override;
  void setStatusFont(const QFont& font) override;
  void showHint(const QString& hint) override;
  void setCurrentFileName(const QString& name) override;
  bool openingRunResults() const override { return openingRunResults_; }
  QString runInputName() const override { return runInputName_; }
  QString workFolder() const override { return workFolder_; }

  // --- what the start dialog needs ---
  int checkedMethod() const override;
  void checkMethod(int index) override;
  void showRunChoice(const QString& text) override;
  MessageResult message(MessageKind kind, const QString& caption, const QString& text,
                        MessageButtons buttons) override;

  // --- commands ---
  // File, New: an empty editor window.
  void fileNew();
  // File, Open: the chosen file in an editor window, and a report's plot windows with it.
  void fileOpen();
  // File, CloseAll: every document window, the last first.
  void closeAll();
  // Single Step (true) or Parameter Optimization (false). Ignored while a run is under way:
  // the speed bar stays usable during a run, and a second run inside the first is not
  // possible on one thread.
  void computeCommand(bool singleStep);
  // Asks the running fit to stop at its next yield.
  void cancelRun();
  // OpenFileInEditor: the file in a new editor window.
  EditorWindow* openFileInEditor(const QString& path);
  // Tools, Interactive Data Input...: the data-input window, kept between showings.
  void showDataInput();
  // The active document window's picture as JPEG (quality 80), with the overwrite question.
  bool saveActiveChildImage(const QString& path);
  bool printActiveChild(QPrinter& printer);
  void loadImage(const QString& path);
  void arrangeIcons();
  void showHelp();
  void showAbout();

  // --- state, for the windows that follow and for tests ---
  Model& model() { return *model_; }
  GuiPlatform& platform() { return platform_; }
  StartDialog* startDialog() const { return startDialog_; }
  ProgressDialog* progressDialog() const { return progress_; }
  QMdiArea* mdiArea() const { return mdi_; }
  QToolBar* speedBar() const { return speedBar_; }
  QString statusText(int panel) const;
  QString currentFileName() const { return currentFileName_; }
  // The Yexp-versus-Ycalc window, created by the first run that ends cleanly.
  RegressionWindow* regressionWindow() const { return regression_; }
  bool runUnderWay() const { return busy_; }

  // Tests replace the file dialogs, the random draw of the start-up greeting and the start of
  // the external viewer.
  using FileDialogHook = std::function<QString(const QString& title, const QString& start,
                                               const QString& filter, bool save)>;
  void setFileDialogHook(FileDialogHook hook) { fileDialog_ = std::move(hook); }
  void setRandomSource(std::function<double()> source) { random_ = std::move(source); }
  using ProgramStarter = std::function<bool(const QString& program, const QStringList& args)>;
  void setProgramStarter(ProgramStarter starter) { startProgram_ = std::move(starter); }

 signals:
  void runFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createSpeedBar();
  void createStatusBar();
  void ensureCurrentOutput();
  void updateChildCommands();
  void offerStartUpDialog();
  void saveAsImageCommand();
  void loadImageCommand();
  void printCommand();
  // A new editor window whose File commands act on this window.
  EditorWindow* newEditorWindow();
  QMdiSubWindow* addChild(QWidget* child);
  // A plot window of a run or report, at its own size, drawn at once.
  QMdiSubWindow* addResultWindow(CurveWindow* window, const QSize& size);
  // The window whose picture Save as Image and Print take: the Yexp-versus-Ycalc window when
  // the user worked in it last, otherwise the active document window.
  QWidget* activeChildWidget() const;
  // After a run: the report down the left of the document area, the plots in two rows beside
  // it, the Yexp-versus-Ycalc window (when shown) in the last place over the area, so that no
  // window covers another's plot.
  void arrangeResultWindows(QMdiSubWindow* report, const QList<QMdiSubWindow*>& plots);
  // The Window menu ends with the open windows, the active one checked.
  void listWindows(QMenu* menu);
  QString chooseFile(const QString& title, const QString& start, const QString& filter, bool save);
  // Step 6 of a compute command: the windows of a run that ended cleanly.
  void openResultWindows(const QString& outputName);
  // The plot windows that belong to a report opened with File, Open.
  void openReportPlotWindows(const QString& reportPath);
  void finishRun();

  QString workFolder_;
  std::unique_ptr<Model> model_;
  GuiPlatform platform_;

  QMdiArea* mdi_ = nullptr;
  QToolBar* speedBar_ = nullptr;
  QLabel* panels_[3] = {};
  StartDialog* startDialog_ = nullptr;
  ProgressDialog* progress_ = nullptr;
  QPointer<UserGuideWindow> guide_;

  QMenu* computeMenu_ = nullptr;
  QActionGroup* methodGroup_ = nullptr;
  QAction* methodActions_[3] = {};
  QAction* singleStepAction_ = nullptr;
  QAction* fittingAction_ = nullptr;
  QAction* cancelAction_ = nullptr;
  QAction* saveImageAction_ = nullptr;
  QAction* printAction_ = nullptr;

  QString currentFileName_;
  QString runInputName_;
  bool openingRunResults_ = false;
  bool busy_ = false;           // a compute command is under way (start dialog or run)
  bool closeAfterRun_ = false;  // the user ended the program during a run
  bool closeConfirmed_ = false;
  bool firstMouseMove_ = true;
  RegressionWindow* regression_ = nullptr;
  // The user worked in the Yexp-versus-Ycalc window after the last document window.
  bool regressionIsTarget_ = false;
  QPointer<QMdiSubWindow> lastActiveSub_;
  QList<QAction*> windowListActions_;

  FileDialogHook fileDialog_;
  std::function<double()> random_;
  ProgramStarter startProgram_;
};

}  // namespace tarvolin::ui
