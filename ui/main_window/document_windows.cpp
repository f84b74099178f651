// The main window's document windows: editors and result windows opened, found, arranged and
// listed in the Window menu, and the window whose picture Save as Image and Print take.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "ui/editor/editor_window.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/local_names.h"
#include "ui/results/percentage_window.h"
#include "ui/results/regression_window.h"
#include "ui/results/report_plot_files.h"
#include "ui/results/residual_window.h"
#include "ui/results/titration_curve_window.h"

namespace tarvolin::ui {

namespace {

const QString kOpenFilter = QStringLiteral(
    "Input files (*.dat *.sqd *.DAT *.SQD);;Output files (*.out *.OUT);;All files (*)");

}  // namespace

void MainWindow::fileNew() {
  EditorWindow* editor = newEditorWindow();
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

// A new editor window whose own File menu acts on this window.
EditorWindow* MainWindow::newEditorWindow() {
  EditorWindow* editor = createEditorWindow(this, mdi_);
  connect(editor, &EditorWindow::newRequested, this, &MainWindow::fileNew);
  connect(editor, &EditorWindow::openRequested, this, &MainWindow::fileOpen);
  connect(editor, &EditorWindow::closeAllRequested, this, &MainWindow::closeAll);
  connect(editor, &EditorWindow::exitRequested, this, &QWidget::close);
  connect(editor, &EditorWindow::fileDropped, this,
          [this](const QString& path) { openFileInEditor(path); });
  return editor;
}

EditorWindow* MainWindow::openFileInEditor(const QString& path) {
  EditorWindow* editor = newEditorWindow();
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
  if (percentages)
    addResultWindow(new PercentageWindow(*this, source), PercentageWindow::defaultSize());
  if (curves)
    addResultWindow(new TitrationCurveWindow(*this, source), TitrationCurveWindow::defaultSize());
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

void MainWindow::arrangeIcons() {
  int x = 0;
  const int bottom = mdi_->viewport()->height();
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (!sub->isMinimized()) continue;
    sub->move(x, bottom - sub->height());
    x += sub->width();
  }
}

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

}  // namespace tarvolin::ui
