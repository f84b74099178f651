// The main window's menus, speed bar and status bar, and the commands of the Tools and Help
// menus.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "ui/data_input/data_input_window.h"
#include "ui/main_window/about_dialog.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/user_guide.h"
#include "ui/results/regression_window.h"

namespace tarvolin::ui {

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
  connect(a, &QAction::triggered, this, &QWidget::close);

  a = make(QStringLiteral("&Interactive Data Input..."), "InteractDataInput",
           QStringLiteral("Enter batch NMR data in a grid and test a fit"));
  connect(a, &QAction::triggered, this, &MainWindow::showDataInput);

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

void MainWindow::showDataInput() {
  showDataInputWindow(this, workFolder_, [this] { return runUnderWay(); });
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

}  // namespace tarvolin::ui
