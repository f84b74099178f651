// The main window's life: its creation with the start dialog and the progress dialog, the
// start-up greeting at the first mouse movement, the clicks it watches for, and the closing
// question, after which the start dialog's history is saved.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include "base/text_file.h"
#include "run/run_files.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/progress_dialog.h"
#include "ui/main_window/splash_picture.h"
#include "ui/main_window/start_dialog.h"
#include "ui/main_window/start_up_dialog.h"
#include "ui/main_window/user_guide.h"
#include "ui/platform/local_names.h"
#include "ui/results/regression_window.h"

namespace tarvolin::ui {

namespace {

constexpr const char* kCurrentOutputName = "CURRENT.OUT";

}  // namespace

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
  connect(startDialog_, &StartDialog::editRequested, this,
          [this](const QString& path) { openFileInEditor(path); });
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
