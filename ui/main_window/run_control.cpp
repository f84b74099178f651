// The compute command: the start dialog, the run of the chosen fitting method on the window
// thread with the progress dialog up, and then the report and the result windows, or the input
// file for correction when it could not be read.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <exception>

#include "run/compute_command.h"
#include "ui/editor/editor_window.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/progress_dialog.h"
#include "ui/main_window/start_dialog.h"
#include "ui/platform/local_names.h"
#include "ui/results/percentage_window.h"
#include "ui/results/regression_window.h"
#include "ui/results/residual_window.h"
#include "ui/results/titration_curve_window.h"

namespace tarvolin::ui {

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
    plots << addResultWindow(new TitrationCurveWindow(*this, source),
                             TitrationCurveWindow::defaultSize());
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

}  // namespace tarvolin::ui
