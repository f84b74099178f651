#include "ui/main_window/main_window.h"

#include <exception>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "base/text_file.h"
#include "run/compute_command.h"
#include "run/run_files.h"
#include "ui/main_window/about_dialog.h"
#include "ui/results/residual_window.h"
#include "ui/editor/editor_window.h"
#include "ui/main_window/progress_dialog.h"
#include "ui/results/regression_window.h"
#include "ui/platform/jpeg_image.h"
#include "ui/results/percentage_window.h"
#include "ui/data_input/data_input_window.h"
#include "ui/results/plotting/result_system.h"
#include "ui/results/report_plot_files.h"
#include "ui/main_window/splash_picture.h"
#include "ui/main_window/start_up_dialog.h"
#include "ui/results/titration_curve_window.h"
#include "ui/main_window/user_guide.h"

namespace tarvolin::ui {

namespace {

constexpr const char* kViewerProgram = "Imagist.exe";
constexpr const char* kCurrentOutputName = "CURRENT.OUT";
const QString kOpenFilter = QStringLiteral(
    "Input files (*.dat *.sqd *.DAT *.SQD);;Output files (*.out *.OUT);;All files (*)");
const QString kImageFilter = QStringLiteral("JPG File (*.JPG *.jpg)");

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString upperExtension(const QString& path) {
  return QString::fromStdString(upperExtension4(localPath(path)));
}

// A JPEG shown in a document window of its own, where the external viewer is not installed.
class PictureChild : public QScrollArea {
 public:
  PictureChild(const QImage& image, const QString& name) {
    auto* label = new QLabel;
    label->setPixmap(QPixmap::fromImage(image));
    setWidget(label);
    setWindowTitle(name);
  }
  QSize minimumSizeHint() const override { return {200, 150}; }
};

}  // namespace

bool viewerShouldStart(const QString& imagePath, const QString& folder) {
  return QFileInfo::exists(imagePath) && upperExtension(imagePath) == QStringLiteral(".JPG") &&
         QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(kViewerProgram)));
}

QString viewerCommandLine(const QString& imagePath) {
  return QString::fromLatin1(kViewerProgram) + QStringLiteral(" \"") + imagePath +
         QStringLiteral("\" jpg");
}

MainWindow::MainWindow(const QString& workFolder, QWidget* parent)
    : QMainWindow(parent),
      workFolder_(QDir(workFolder).absolutePath()),
      model_(std::make_unique<Model>()),
      platform_(this) {
  setWindowTitle(QStringLiteral("Tarvolin"));
  setWindowIcon(programIcon());
  QDir::setCurrent(workFolder_);

  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setBackground(QColor(0x80, 0x80, 0x80));
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::updateChildCommands);

  createActions();
  createMenus();
  createSpeedBar();
  createStatusBar();

  startDialog_ = new StartDialog(*this, *model_, this);
  progress_ = new ProgressDialog(this);
  connect(progress_, &ProgressDialog::cancelClicked, this, &MainWindow::cancelRun);
  cancelAction_->setEnabled(false);
  updateChildCommands();

  ensureCurrentOutput();
  model_->FitOneByOne = 0;
  model_->DeltaRF = 1.0e-6f;

  std::mt19937_64 engine(platform_.tickCount());
  random_ = [engine]() mutable { return std::uniform_real_distribution<double>(0, 1)(engine); };
  startProgram_ = [](const QString& program, const QStringList& args) {
    return QProcess::startDetached(program, args);
  };
  qApp->installEventFilter(this);
  // Room for the report and the result windows beside it on the screen it opens on.
  QSize size(1024, 720);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    size = size.expandedTo(screen->availableGeometry().size() * 0.85)
               .boundedTo(screen->availableGeometry().size());
  resize(size);
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  // The document area outlives this object's members while the base class tears it down.
  disconnect(mdi_, nullptr, this, nullptr);
  delete guide_;
}

// --- construction ---

void MainWindow::createActions() {
  auto make = [this](const QString& text, const char* name, const QString& tip) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setStatusTip(tip);
    return action;
  };
  QAction* a;
  a = make(QStringLiteral("&New"), "FileNewItem", QStringLiteral("Open an empty editor window"));
  connect(a, &QAction::triggered, this, &MainWindow::fileNew);
  a = make(QStringLiteral("&Open..."), "FileOpenItem",
           QStringLiteral("Open an input file or a report in an editor window"));
  a->setShortcut(QKeySequence::Open);
  connect(a, &QAction::triggered, this, &MainWindow::fileOpen);
  saveImageAction_ = make(QStringLiteral("Save as &Image..."), "MenuSaveasImage",
                          QStringLiteral("Save the picture of the active window as a JPEG file"));
  connect(saveImageAction_, &QAction::triggered, this, &MainWindow::saveAsImageCommand);
  a = make(QStringLiteral("&Load Image..."), "MenuLoadImage",
           QStringLiteral("Show a JPEG picture"));
  connect(a, &QAction::triggered, this, &MainWindow::loadImageCommand);
  a = make(QStringLiteral("Close&All"), "CloseAll", QStringLiteral("Close every window"));
  connect(a, &QAction::triggered, this, &MainWindow::closeAll);
  printAction_ =
      make(QStringLiteral("&Print"), "FilePrintItem", QStringLiteral("Print the active window"));
  printAction_->setShortcut(QKeySequence::Print);
  connect(printAction_, &QAction::triggered, this, &MainWindow::printCommand);
  a = make(QStringLiteral("E&xit"), "FileExitItem", QStringLiteral("End the program"));
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(a, &QAction::triggered, this, &MainWindow::exitProgram);

  a = make(QStringLiteral("&Interactive Data Input..."), "InteractDataInput",
           QStringLiteral("Enter batch NMR data in a grid and test a fit"));
  connect(a, &QAction::triggered, this,
          [this] { showDataInputWindow(this, workFolder_, [this] { return runUnderWay(); }); });

  methodGroup_ = new QActionGroup(this);
  methodGroup_->setExclusive(true);
  const char* methodNames[] = {"MenuGradient", "MenuSimplex", "MenuMonteCarlo"};
  const QString methodTexts[] = {QStringLiteral("&Gradient"), QStringLiteral("&Simplex"),
                                 QStringLiteral("&Monte Carlo")};
  const QString methodTips[] = {
      QStringLiteral("Gauss-Newton steps with a singular value decomposition"),
      QStringLiteral("Nelder-Mead simplex search"),
      QStringLiteral("Random search in shrinking boxes")};
  for (int i = 0; i < 3; ++i) {
    methodActions_[i] = make(methodTexts[i], methodNames[i], methodTips[i]);
    methodActions_[i]->setCheckable(true);
    methodGroup_->addAction(methodActions_[i]);
  }
  methodActions_[1]->setChecked(true);

  singleStepAction_ = make(QStringLiteral("&Single Step"), "ComputeSingleStepItem",
                           QStringLiteral("Calculate once with the parameters as read"));
  singleStepAction_->setShortcut(QKeySequence(Qt::Key_F8));
  connect(singleStepAction_, &QAction::triggered, this, [this] { computeCommand(true); });
  fittingAction_ = make(QStringLiteral("&Parameter Optimization"), "MenuFitting",
                        QStringLiteral("Refine the flagged parameters"));
  fittingAction_->setShortcut(QKeySequence(Qt::Key_F9));
  connect(fittingAction_, &QAction::triggered, this, [this] { computeCommand(false); });
  cancelAction_ = make(QStringLiteral("Cancel"), "MenuCancel",
                       QStringLiteral("Stop the fit at its next iteration"));
  connect(cancelAction_, &QAction::triggered, this, &MainWindow::cancelRun);
}

void MainWindow::createMenus() {
  auto find = [this](const char* name) { return findChild<QAction*>(QLatin1String(name)); };
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  for (const char* name : {"FileNewItem", "FileOpenItem"}) file->addAction(find(name));
  file->addSeparator();
  for (const char* name : {"MenuSaveasImage", "MenuLoadImage"}) file->addAction(find(name));
  file->addSeparator();
  file->addAction(find("CloseAll"));
  file->addAction(find("FilePrintItem"));
  file->addSeparator();
  file->addAction(find("FileExitItem"));

  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  tools->addAction(find("InteractDataInput"));

  QMenu* method = menuBar()->addMenu(QStringLiteral("&Method"));
  for (QAction* action : methodActions_) method->addAction(action);

  computeMenu_ = menuBar()->addMenu(QStringLiteral("&Compute"));
  computeMenu_->addAction(singleStepAction_);
  computeMenu_->addAction(fittingAction_);

  menuBar()->addAction(cancelAction_);

  QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
  QAction* a = window->addAction(QStringLiteral("&Tile"), mdi_, &QMdiArea::tileSubWindows);
  a->setObjectName(QStringLiteral("WindowTileItem"));
  a = window->addAction(QStringLiteral("&Cascade"), mdi_, &QMdiArea::cascadeSubWindows);
  a->setObjectName(QStringLiteral("WindowCascadeItem"));
  a = window->addAction(QStringLiteral("&Arrange icons"), this, &MainWindow::arrangeIcons);
  a->setObjectName(QStringLiteral("WindowArrangeItem"));
  window->addSeparator();
  window->addAction(QStringLiteral("&Next Window"), mdi_, &QMdiArea::activateNextSubWindow);
  window->addAction(QStringLiteral("&Previous Window"), mdi_, &QMdiArea::activatePreviousSubWindow);
  a = window->addAction(QStringLiteral("C&lose Window"), this, [this] {
    if (QWidget* target = activeChildWidget(); target == regression_ && regression_)
      regression_->close();
    else
      mdi_->closeActiveSubWindow();
  });
  a->setObjectName(QStringLiteral("WindowCloseItem"));
  // Each document window takes Ctrl+W itself (its system menu's Close); the item only shows it.
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  a->setShortcutContext(Qt::WidgetShortcut);
  connect(window, &QMenu::aboutToShow, this, [this, window] { listWindows(window); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  a = help->addAction(QStringLiteral("TARVOLIN &Help"), this, &MainWindow::showHelp);
  a->setObjectName(QStringLiteral("HelpContentsItem"));
  a->setShortcut(QKeySequence::HelpContents);
  a = help->addAction(QStringLiteral("&About TARVOLIN..."), this, &MainWindow::showAbout);
  a->setObjectName(QStringLiteral("HelpAboutItem"));
}

void MainWindow::createSpeedBar() {
  speedBar_ = addToolBar(QStringLiteral("Speed bar"));
  speedBar_->setObjectName(QStringLiteral("SpeedBar"));
  speedBar_->setMovable(false);
  speedBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QStyle* s = style();
  auto button = [this](const QIcon& icon, const QString& text, const char* name,
                       const QString& tip) {
    QAction* action = speedBar_->addAction(icon, text);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(tip);
    action->setStatusTip(tip);
    return action;
  };
  connect(button(s->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("Open"), "SpeedOpen",
                 QStringLiteral("Open a file")),
          &QAction::triggered, this, &MainWindow::fileOpen);
  speedBar_->addSeparator();
  connect(button(s->standardIcon(QStyle::SP_MediaSkipForward), QStringLiteral("Single step"),
                 "SpeedSingleStep", QStringLiteral("Single step")),
          &QAction::triggered, this, [this] { computeCommand(true); });
  connect(button(s->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("Start optimization"),
                 "SpeedFitting", QStringLiteral("Start optimization")),
          &QAction::triggered, this, [this] { computeCommand(false); });
  speedBar_->addSeparator();
  connect(button(s->standardIcon(QStyle::SP_ArrowLeft), QStringLiteral("Previous Window"),
                 "SpeedPrevious", QStringLiteral("Previous Window")),
          &QAction::triggered, mdi_, &QMdiArea::activatePreviousSubWindow);
  connect(button(s->standardIcon(QStyle::SP_ArrowRight), QStringLiteral("Next Window"), "SpeedNext",
                 QStringLiteral("Next Window")),
          &QAction::triggered, mdi_, &QMdiArea::activateNextSubWindow);
  // A click on the bar itself, beside its buttons, starts an optimization as well.
  speedBar_->installEventFilter(this);
}

void MainWindow::createStatusBar() {
  const int widths[3] = {120, 60, 50};
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
    panels_[i]->setMinimumWidth(widths[i]);
    panels_[i]->setFrameShape(QFrame::StyledPanel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
  }
  panels_[1]->setAlignment(Qt::AlignCenter);
  statusBar()->addWidget(panels_[0]);
  statusBar()->addWidget(panels_[1]);
  statusBar()->addWidget(panels_[2], 1);
}

// "CURRENT.OUT" is the report name the start dialog offers first; a fresh folder gets it with
// a single line.
void MainWindow::ensureCurrentOutput() {
  const QString path = QDir(workFolder_).filePath(QString::fromLatin1(kCurrentOutputName));
  if (fileCanBeOpened(localPath(path))) return;
  TextWriter file;
  bool created = file.create(localPath(path));
  if (created) {
    try {
      file.line("Start output!");
      file.close();
    } catch (const IoError&) {
      created = false;
    }
  }
  if (!created)
    message(MessageKind::Warning, QStringLiteral("Open File"),
            QStringLiteral("Cannot create file '%1'").arg(QLatin1String(kCurrentOutputName)),
            MessageButtons::Ok);
}

// --- editor host ---

void MainWindow::setStatusText(int panel, const QString& text) {
  if (panel >= 1 && panel <= 3) panels_[panel - 1]->setText(text);
}

QString MainWindow::statusText(int panel) const {
  return panel >= 1 && panel <= 3 ? panels_[panel - 1]->text() : QString();
}

void MainWindow::setStatusFont(const QFont& font) {
  for (QLabel* panel : panels_) panel->setFont(font);
}

void MainWindow::showHint(const QString& hint) {
  if (hint.isEmpty())
    statusBar()->clearMessage();
  else
    statusBar()->showMessage(hint);
}

void MainWindow::setCurrentFileName(const QString& name) { currentFileName_ = name; }

void MainWindow::fileNew() {
  EditorWindow* editor = createEditorWindow(this, mdi_);
  addChild(editor);
  setStatusText(2, QString());
}

void MainWindow::fileOpen() {
  const QString path = chooseFile(QStringLiteral("Open"), workFolder_, kOpenFilter, false);
  if (path.isEmpty()) return;
  openFileInEditor(path);
  if (upperExtension(path) == QStringLiteral(".OUT")) openReportPlotWindows(path);
}

void MainWindow::closeAll() {
  QList<QMdiSubWindow*> children = mdi_->subWindowList(QMdiArea::CreationOrder);
  for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->close();
}

void MainWindow::exitProgram() { close(); }

void MainWindow::openFileInNewEditor(const QString& path) { openFileInEditor(path); }

EditorWindow* MainWindow::openFileInEditor(const QString& path) {
  EditorWindow* editor = createEditorWindow(this, mdi_);
  addChild(editor);
  editor->openFile(path);
  return editor;
}

QMdiSubWindow* MainWindow::addChild(QWidget* child) {
  QMdiSubWindow* sub = nullptr;
  for (QMdiSubWindow* existing : mdi_->subWindowList())
    if (static_cast<QWidget*>(existing) == child || existing->widget() == child) sub = existing;
  if (!sub) sub = mdi_->addSubWindow(child);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  const QSize area = mdi_->viewport()->size();
  sub->resize(qMin(760, qMax(320, area.width() - 40)), qMin(540, qMax(240, area.height() - 40)));
  sub->show();
  mdi_->setActiveSubWindow(sub);
  return sub;
}

QWidget* MainWindow::activeChildWidget() const {
  if (regressionIsTarget_ && regression_ && regression_->isVisible()) return regression_;
  QMdiSubWindow* sub = mdi_->currentSubWindow();
  if (!sub) return nullptr;
  return sub->widget() ? sub->widget() : sub;
}

// Pictures can be saved or printed only when there is a window to take them from. An editor
// that becomes active shows its cursor position and modified state in the status bar; once the
// last window has closed, or a window of another kind is active, those panels are cleared.
// (The document area also reports "no active window" while the main window itself is inactive,
// for instance under a message box; the current window stays current then.)
void MainWindow::updateChildCommands() {
  QMdiSubWindow* sub = mdi_->currentSubWindow();
  // Another document window activated (not the same one again as the main window comes back
  // to the front) is where the user works now.
  if (sub && sub != lastActiveSub_) regressionIsTarget_ = false;
  if (sub) lastActiveSub_ = sub;
  saveImageAction_->setEnabled(activeChildWidget() != nullptr);
  printAction_->setEnabled(activeChildWidget() != nullptr);
  if (auto* editor = sub ? qobject_cast<EditorWindow*>(sub->widget()) : nullptr) {
    editor->updateStatus();
  } else if (!sub || mdi_->activeSubWindow() == sub) {
    setStatusText(1, QString());
    setStatusText(2, QString());
  }
}

// --- start dialog host ---

int MainWindow::checkedMethod() const {
  for (int i = 0; i < 3; ++i)
    if (methodActions_[i]->isChecked()) return i;
  return 0;
}

void MainWindow::checkMethod(int index) {
  methodActions_[index >= 0 && index <= 2 ? index : 0]->setChecked(true);
}

void MainWindow::showRunChoice(const QString& text) {
  panels_[2]->setFont(QFont(QStringLiteral("Times New Roman"), 8));
  panels_[2]->setText(text);
}

void MainWindow::openInEditor(const QString& path) { openFileInEditor(path); }

MessageResult MainWindow::message(MessageKind kind, const QString& caption, const QString& text,
                                MessageButtons buttons) {
  return platform_.showMessage(kind, caption, text, buttons);
}

// --- run control ---

void MainWindow::computeCommand(bool singleStep) {
  if (busy_) return;
  busy_ = true;
  if (startDialog_->exec() != QDialog::Accepted) {
    busy_ = false;
    return;
  }
  const QString inputName = startDialog_->selectedInput();
  const QString outputName = startDialog_->selectedOutput();

  closeAll();
  model_->CancelRequested = 0;
  platform_.clearCancel();
  model_->SingleStep = singleStep ? 1 : 0;
  computeMenu_->setEnabled(false);
  singleStepAction_->setEnabled(false);
  fittingAction_->setEnabled(false);
  cancelAction_->setEnabled(true);
  QApplication::setOverrideCursor(Qt::WaitCursor);

  progress_->setMethod(checkedMethod());
  progress_->setReadouts(QStringLiteral("0"), QStringLiteral("0.0"));
  progress_->show();
  platform_.setProgressWindow(progress_);
  platform_.setProgressDisplay([this](const QString& iteration, const QString& value) {
    progress_->setReadouts(iteration, value);
  });

  QDir::setCurrent(workFolder_);
  model_->FittingMethod = static_cast<std::uint8_t>(kGradient + checkedMethod());
  RunResults results;
  results.program = "tarvolin";
  try {
    // The driver's own failures, and those that leave it, are reported inside.
    runComputeCommand(*model_, platform_, &results);
    progress_->hide();
    runInputName_ = inputName;
    if (model_->ReadError == 0 && model_->RunIncomplete == 0) openResultWindows(outputName);
  } catch (const std::exception&) {
    message(MessageKind::Information, QStringLiteral("Information"),
            QStringLiteral("External exception at the fitting"), MessageButtons::Ok);
  }

  progress_->hide();
  startDialog_->saveResults(results);
  platform_.setProgressWindow(nullptr);
  platform_.setProgressDisplay({});
  computeMenu_->setEnabled(true);
  singleStepAction_->setEnabled(true);
  fittingAction_->setEnabled(true);
  QApplication::restoreOverrideCursor();
  cancelAction_->setEnabled(false);

  // An input that could not be read opens for correction, at the line where reading stopped.
  if ((model_->ReadError != 0 || model_->RunIncomplete != 0) && !inputName.isEmpty()) {
    EditorWindow* editor = openFileInEditor(QDir(workFolder_).filePath(inputName));
    if (model_->ReadError != 0 && model_->InputErrorLine > 0)
      editor->goToLine(model_->InputErrorLine);
  }
  finishRun();
}

void MainWindow::finishRun() {
  busy_ = false;
  emit runFinished();
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    closeConfirmed_ = true;
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void MainWindow::cancelRun() {
  if (!busy_) return;
  platform_.requestCancel();
  model_->CancelRequested = 1;
  cancelAction_->setEnabled(false);
}

// The windows of a run that ended cleanly. The report opens first, in an editor window whose
// caption names the run's input file; then the residuals; the basic-component percentages and
// the titration curve when the last block is a titration, or batch data whose totals run one
// way; last the Yexp-versus-Ycalc regression, shown again when its data file held enough
// points.
void MainWindow::openResultWindows(const QString& outputName) {
  if (outputName.isEmpty()) return;
  {
    struct Opening {
      bool& flag;
      explicit Opening(bool& f) : flag(f) { flag = true; }
      ~Opening() { flag = false; }
    } opening(openingRunResults_);
    openFileInEditor(QDir(workFolder_).filePath(outputName));
  }

  QMdiSubWindow* report = mdi_->currentSubWindow();
  const ResultSource source{
      workFolder_, localPath(outputName),
      plotting::resultSystemsOfRun(*model_, localPath(QDir(workFolder_).filePath(outputName)))};
  QList<QMdiSubWindow*> plots;
  plots << addResultWindow(new ResidualWindow(*this, source), ResidualWindow::defaultSize());
  if (plotting::curveWindowsWanted(*model_)) {
    plots << addResultWindow(new PercentageWindow(*this, source), PercentageWindow::defaultSize());
    plots << addResultWindow(new TitrationCurveWindow(*this, source), TitrationCurveWindow::defaultSize());
  }
  if (!regression_) {
    regression_ = new RegressionWindow(*this, this);
    regression_->installEventFilter(this);
  }
  regression_->hide();
  regressionIsTarget_ = false;
  regression_->setSource(source);
  regression_->dataOpenFile();
  if (regression_->plotReady()) regression_->show();
  arrangeResultWindows(report, plots);
  updateChildCommands();
}

// The plot windows of a report opened with File, Open, each when its file of all blocks lies
// beside the report: percentages (base + ".PFP"), titration curves (".TTC"), residuals
// (".RAC"), base being the report's name up to its first ".". They draw the report's own plot
// files, with the system its tables describe, whatever run was made last.
void MainWindow::openReportPlotWindows(const QString& reportPath) {
  const auto exists = [&](PlotFileKind kind) {
    return QFileInfo::exists(reportPlotFile(reportPath, kind));
  };
  const bool percentages = exists(PlotFileKind::Percentages);
  const bool curves = exists(PlotFileKind::TitrationCurves);
  const bool residuals = exists(PlotFileKind::Residuals);
  if (!percentages && !curves && !residuals) return;
  // A report in the work folder keeps its plain name in captions and messages.
  const QString absolute = QFileInfo(reportPath).absoluteFilePath();
  const QString relative = QDir(workFolder_).relativeFilePath(absolute);
  const QString name = relative.startsWith(QStringLiteral("..")) || QDir::isAbsolutePath(relative)
                           ? absolute
                           : relative;
  const ResultSource source{workFolder_, localPath(name),
                            plotting::resultSystemsOfReport(localPath(absolute))};
  if (percentages) addResultWindow(new PercentageWindow(*this, source), PercentageWindow::defaultSize());
  if (curves) addResultWindow(new TitrationCurveWindow(*this, source), TitrationCurveWindow::defaultSize());
  if (residuals) addResultWindow(new ResidualWindow(*this, source), ResidualWindow::defaultSize());
}

QMdiSubWindow* MainWindow::addResultWindow(CurveWindow* window, const QSize& size) {
  QMdiSubWindow* sub = mdi_->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->resize(size);
  sub->show();
  mdi_->setActiveSubWindow(sub);
  window->draw();
  return sub;
}

void MainWindow::arrangeResultWindows(QMdiSubWindow* report, const QList<QMdiSubWindow*>& plots) {
  const bool regression = regression_ && regression_->isVisible();
  const int places = static_cast<int>(plots.size()) + (regression ? 1 : 0);
  const QRect area = mdi_->viewport()->rect();
  const int rows = places >= 2 ? 2 : 1;
  const int columns = (places + rows - 1) / rows;
  const int width = area.width() / (columns + 1);
  const int height = area.height() / rows;
  if (report) report->setGeometry(0, 0, width, area.height());
  const auto place = [&](int i) {
    return QRect((i / rows + 1) * width, (i % rows) * height, width, height);
  };
  for (int i = 0; i < plots.size(); ++i) plots[i]->setGeometry(place(i));
  if (regression && places > 0) {
    const QRect cell = place(places - 1);
    // Its frame (title bar and borders, known once it has been shown) goes inside the place.
    const QSize frame = regression_->frameGeometry().size() - regression_->size();
    regression_->resize(cell.size() - frame);
    regression_->move(mdi_->viewport()->mapToGlobal(cell.topLeft()));
  }
}

// --- pictures ---

QString MainWindow::chooseFile(const QString& title, const QString& start, const QString& filter,
                             bool save) {
  if (fileDialog_) return fileDialog_(title, start, filter, save);
  QFileDialog dialog(this, title, start, filter);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("JPG"));
    // The overwrite question is asked by the command itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(start);
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void MainWindow::saveAsImageCommand() {
  if (!activeChildWidget()) return;
  QString proposed = startDialog_->outputName();
  const QFileInfo output(proposed);
  proposed = output.suffix().isEmpty()
                 ? proposed + QStringLiteral(".JPG")
                 : proposed.left(proposed.size() - output.suffix().size()) + QStringLiteral("JPG");
  const QString path = chooseFile(QStringLiteral("Save Image"),
                                  QDir(workFolder_).filePath(proposed), kImageFilter, true);
  if (!path.isEmpty()) saveActiveChildImage(path);
}

bool MainWindow::saveActiveChildImage(const QString& path) {
  QWidget* child = activeChildWidget();
  if (!child) return false;
  if (QFileInfo::exists(path) && message(MessageKind::Confirmation, QStringLiteral("Confirm"),
                                         QStringLiteral("OK to overwrite %1").arg(path),
                                         MessageButtons::YesNoCancel) != MessageResult::Yes)
    return false;
  const QImage picture = child->grab().toImage();
  if (!writeJpegFile(picture, path, kWindowImageQuality)) {
    message(MessageKind::Error, QStringLiteral("Save Image"),
            QStringLiteral("Cannot create file '%1'").arg(path), MessageButtons::Ok);
    return false;
  }
  return true;
}

void MainWindow::listWindows(QMenu* menu) {
  for (QAction* action : windowListActions_) {
    menu->removeAction(action);
    action->deleteLater();
  }
  windowListActions_.clear();
  QList<QWidget*> windows;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) windows << sub;
  if (regression_ && regression_->isVisible()) windows << regression_;
  if (windows.isEmpty()) return;
  windowListActions_ << menu->addSeparator();
  const QWidget* target = activeChildWidget();
  int number = 0;
  for (QWidget* window : windows) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window);
    QString title = window->windowTitle();
    title.replace(QLatin1Char('&'), QLatin1String("&&"));
    QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(title));
    item->setCheckable(true);
    item->setChecked(window == target || (sub && sub->widget() == target));
    connect(item, &QAction::triggered, this, [this, window = QPointer<QWidget>(window), sub] {
      if (!window) return;
      if (sub) {
        mdi_->setActiveSubWindow(sub);
        regressionIsTarget_ = false;
        updateChildCommands();
      } else {
        window->raise();
        window->activateWindow();
      }
    });
    windowListActions_ << item;
  }
}

// An editor prints its text, as its own Print does; any other window its picture.
void MainWindow::printCommand() {
  if (auto* editor = qobject_cast<EditorWindow*>(activeChildWidget())) {
    editor->print();
    return;
  }
  if (!activeChildWidget()) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) printActiveChild(printer);
}

// The window's picture, scaled to fill the printable area with its proportions kept.
bool MainWindow::printActiveChild(QPrinter& printer) {
  QWidget* child = activeChildWidget();
  if (!child) return false;
  const QPixmap picture = child->grab();
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRect page = painter.viewport();
  QSize size = picture.size();
  size.scale(page.size(), Qt::KeepAspectRatio);
  painter.drawPixmap(QRect(page.topLeft(), size), picture);
  return painter.end();
}

void MainWindow::loadImageCommand() {
  const QString path =
      chooseFile(QStringLiteral("Load JPG Image"), workFolder_, kImageFilter, false);
  if (!path.isEmpty()) loadImage(path);
}

void MainWindow::loadImage(const QString& path) {
  const QString folder = QDir::currentPath();
  if (viewerShouldStart(path, folder)) {
    // Imagist.exe "file" jpg, started from the current folder.
    startProgram_(QDir(folder).filePath(QString::fromLatin1(kViewerProgram)),
                  {path, QStringLiteral("jpg")});
    return;
  }
  // Without the external viewer, the picture is shown in a document window of our own.
  if (!QFileInfo::exists(path) || upperExtension(path) != QStringLiteral(".JPG")) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QImage image = decodeJpeg(file.readAll());
  if (image.isNull()) {
    message(MessageKind::Error, QStringLiteral("Load JPG Image"),
            QStringLiteral("Cannot open file '%1'").arg(QFileInfo(path).fileName()),
            MessageButtons::Ok);
    return;
  }
  QMdiSubWindow* sub = addChild(new PictureChild(image, QFileInfo(path).fileName()));
  sub->resize(sub->sizeHint().boundedTo(mdi_->viewport()->size()));
}

// --- windows ---

void MainWindow::arrangeIcons() {
  int x = 0;
  const int bottom = mdi_->viewport()->height();
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (!sub->isMinimized()) continue;
    sub->move(x, bottom - sub->height());
    x += sub->width();
  }
}

// The guide stands in for the help file of the original program, which has no viewer here.
void MainWindow::showHelp() {
  if (!guide_) guide_ = new UserGuideWindow(workFolder_, this);
  guide_->show();
  guide_->raise();
  guide_->activateWindow();
}

void MainWindow::showAbout() {
  AboutDialog about(this);
  about.exec();
}

void MainWindow::offerStartUpDialog() {
  const double r1 = random_();
  const double r2 = random_();
  if (!startUpDialogDrawn(r1, r2)) return;
  StartUpDialog greeting(this);
  greeting.exec();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == regression_ && event->type() == QEvent::WindowActivate) {
    regressionIsTarget_ = true;
    updateChildCommands();
  }
  if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
      mdi_->isAncestorOf(static_cast<QWidget*>(watched))) {
    regressionIsTarget_ = false;
    updateChildCommands();
  }
  if (firstMouseMove_ && (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) &&
      watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
    firstMouseMove_ = false;
    QTimer::singleShot(0, this, &MainWindow::offerStartUpDialog);
  }
  if (watched == speedBar_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
      !speedBar_->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
    computeCommand(false);
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closeConfirmed_ &&
      message(MessageKind::Confirmation, QStringLiteral("Confirm"),
              QStringLiteral("End the program?"), MessageButtons::YesNo) != MessageResult::Yes) {
    event->ignore();
    return;
  }
  closeConfirmed_ = false;
  if (busy_) {
    // The run is on this thread, below this event: it is asked to stop, and the window closes
    // once it has ended and written its files.
    cancelRun();
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  // Editor windows ask about unsaved changes; one that is kept open keeps the program open.
  mdi_->closeAllSubWindows();
  if (!mdi_->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  startDialog_->saveHistory();
  if (guide_) guide_->close();
  event->accept();
}

}  // namespace tarvolin::ui
