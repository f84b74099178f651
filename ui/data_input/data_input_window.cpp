#include "ui/data_input/data_input_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "run/compute_command.h"
#include "ui/data_input/fit_curve_panel.h"
#include "ui/data_input/plan/plan_files.h"
#include "ui/data_input/plan/reactants.h"
#include "ui/data_input/plan/test_data.h"
#include "ui/data_input/plan_grid_view.h"
#include "ui/platform/local_names.h"

namespace tarvolin::ui {

using namespace tarvolin::data_input;

namespace {

constexpr int kWindowWidth = 792;
constexpr int kWindowHeight = 569;
const QColor kExpHeadingColour(0xC0, 0xDC, 0xC0);
const QColor kStabHeadingColour(Qt::yellow);
// The open and save dialogs list DAT files in either letter case: file names are
// case-sensitive here, and a DAT file written elsewhere may well be called x.dat.
const QString kSaveFilter = QStringLiteral("DATA File (*.DAT *.dat)");
const QString kOpenFilter = QStringLiteral("DAT File (*.DAT *.dat)");

QString displayPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
QString text(const std::string& s) { return QString::fromStdString(s); }

// The user's decimal separator, as numbers in the grids are shown; "." when the locale's is
// not a single plain character.
char userDecimalSeparator() {
  const QString point = QLocale().decimalPoint();
  if (point.size() == 1 && point[0].unicode() < 0x80) return point[0].toLatin1();
  return '.';
}

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// While a dialog of the window is open, the window loses and regains the focus; that is no
// leaving of the window, so it must not clear DataSaved.
class DataInputWindow::DialogScope {
 public:
  explicit DialogScope(DataInputWindow& form) : form_(form) { ++form_.dialogDepth_; }
  ~DialogScope() { --form_.dialogDepth_; }
  DialogScope(const DialogScope&) = delete;
  DialogScope& operator=(const DialogScope&) = delete;

 private:
  DataInputWindow& form_;
};

DataInputWindow::DataInputWindow(const QString& workFolder, std::unique_ptr<PlanDialogs> dialogs,
                                 QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      workFolder_(QDir(workFolder).absolutePath()),
      dialogs_(dialogs ? std::move(dialogs) : makeQtPlanDialogs()),
      model_(std::make_unique<Model>()),
      platform_(this) {
  setObjectName(QStringLiteral("PlanForm"));
  setWindowTitle(QString::fromLatin1(kDataInputCaption));
  plan_.DecimalSeparator = userDecimalSeparator();
  SetCreationDefaults(*model_);
  createControls();
  createMenu();
  resize(kWindowWidth, kWindowHeight);
}

// The grids' views read the plan's cells until they are gone, so they go first.
DataInputWindow::~DataInputWindow() { delete takeCentralWidget(); }

void DataInputWindow::createMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* open = file->addAction(QStringLiteral("&Open"), this, &DataInputWindow::MenuOpenClick);
  open->setObjectName(QStringLiteral("MenuOpen"));
  open->setShortcut(QKeySequence::Open);
  QAction* save = file->addAction(QStringLiteral("&Save"), this, &DataInputWindow::MenuSaveClick);
  save->setObjectName(QStringLiteral("MenuSave"));
  save->setShortcut(QKeySequence::Save);
  file->addSeparator();
  QAction* exit = file->addAction(QStringLiteral("E&xit"), this, &DataInputWindow::MenuExitClick);
  exit->setObjectName(QStringLiteral("MenuExit"));
}

void DataInputWindow::createControls() {
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(6, 6, 6, 6);

  auto* typeRow = new QHBoxLayout;
  auto* typeLabel = new QLabel(QStringLiteral("Experimental Data Type:"));
  dataType_ = new QComboBox;
  dataType_->setObjectName(QStringLiteral("ComboBoxDataType"));
  dataType_->setMinimumWidth(100);
  typeLabel->setBuddy(dataType_);
  typeRow->addWidget(typeLabel);
  typeRow->addWidget(dataType_);
  typeRow->addStretch();
  layout->addLayout(typeRow);

  pages_ = new QTabWidget;
  pages_->setObjectName(QStringLiteral("PageControl"));
  pages_->addTab(createBatchPage(), QStringLiteral("Batch Data"));
  auto* titration = new QWidget;
  titration->setObjectName(QStringLiteral("TabSheetTitration"));
  auto* titrationLayout = new QVBoxLayout(titration);
  titrationLayout->addWidget(new QLabel(QStringLiteral("Could be developed...")));
  titrationLayout->addStretch();
  pages_->addTab(titration, QStringLiteral("Titration"));
  layout->addWidget(pages_, 1);
  setCentralWidget(central);
}

QWidget* DataInputWindow::createBatchPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("TabSheetBatch"));
  auto* columns = new QHBoxLayout(page);
  columns->setContentsMargins(4, 4, 4, 4);

  // Left: the points.
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("Reactant Concentrations in mol/l")));
  expGrid_ = new PlanGridView(plan_.ExpData, QStringLiteral("no."), kExpHeadingColour);
  expGrid_->setObjectName(QStringLiteral("StringGridExpData"));
  expGrid_->setLabelWidth(26);
  // Wide enough for a shift or a concentration with twelve significant digits.
  expGrid_->setDefaultColumnWidth(
      expGrid_->fontMetrics().horizontalAdvance(QStringLiteral("8.19669129729")) + 10);
  left->addWidget(expGrid_, 1);
  labelNmr_ =
      new QLabel(QStringLiteral("Concentration of NMR observed reactant must be input first !"));
  labelNmr_->setObjectName(QStringLiteral("LabelNMR"));
  labelNmr_->setStyleSheet(QStringLiteral("color: red;"));
  labelNmr_->setWordWrap(true);
  labelNmr_->hide();
  left->addWidget(labelNmr_);
  auto* reactantButtons = new QHBoxLayout;
  addReactant_ = new QPushButton(QStringLiteral("Add Reactant"));
  addReactant_->setObjectName(QStringLiteral("BitBtnAddReactant"));
  removeReactant_ = new QPushButton(QStringLiteral("Remove Reactant"));
  removeReactant_->setObjectName(QStringLiteral("BitBtnRemoveReactant"));
  reactantButtons->addWidget(addReactant_);
  reactantButtons->addWidget(removeReactant_);
  left->addLayout(reactantButtons);
  connect(addReactant_, &QPushButton::clicked, this, &DataInputWindow::BitBtnAddReactantClick);
  connect(removeReactant_, &QPushButton::clicked, this,
          &DataInputWindow::BitBtnRemoveReactantClick);

  // Right: the species, the settings of the fit and its curve.
  auto* right = new QVBoxLayout;
  labelStoichiom_ = new QLabel;
  labelStoichiom_->setObjectName(QStringLiteral("LabelStoichiom"));
  right->addWidget(labelStoichiom_);
  stabGrid_ = new PlanGridView(plan_.StabConst, QStringLiteral("Chem.Equ."), kStabHeadingColour);
  stabGrid_->setObjectName(QStringLiteral("StringGridStabConst"));
  stabGrid_->setLabelWidth(55);
  // Coefficients are small integers: their columns take no more room than their headings
  // need, so that a few reactants fit beside the constants.
  stabGrid_->setDefaultColumnWidth(40);
  stabGrid_->setGridColumnWidth(kLogBetaColumn, 64);
  stabGrid_->setGridColumnWidth(kShiftColumn, 64);
  right->addWidget(stabGrid_, 1);

  auto* settings = new QHBoxLayout;
  fitSysErr_ = new QCheckBox(QStringLiteral("Fit systematic error"));
  fitSysErr_->setObjectName(QStringLiteral("CheckBoxFitSysErr"));
  connect(fitSysErr_, &QCheckBox::toggled, this, &DataInputWindow::CheckBoxFitSysErrClick);
  auto* stepLabel = new QLabel(QStringLiteral("Step:"));
  editStep_ = new QLineEdit(QString::fromLatin1(kInitialStep));
  editStep_->setObjectName(QStringLiteral("EditStep"));
  editStep_->setMaximumWidth(60);
  stepLabel->setBuddy(editStep_);
  connect(editStep_, &QLineEdit::textChanged, this,
          [this](const QString& step) { plan_.EditStep = step.toStdString(); });
  testData_ = new QPushButton(QStringLiteral("Test Data"));
  testData_->setObjectName(QStringLiteral("BitBtnTestData"));
  testData_->setToolTip(QStringLiteral("Test completeness of input data"));
  connect(testData_, &QPushButton::clicked, this, [this] { BitBtnTestDataClick(); });
  fitTest_ = new QPushButton(QStringLiteral("Fitting Test"));
  fitTest_->setObjectName(QStringLiteral("BitBtnFitTest"));
  fitTest_->setToolTip(QStringLiteral("Fitting test for INITIAL logBETA and related Parameters"));
  connect(fitTest_, &QPushButton::clicked, this, &DataInputWindow::BitBtnFitTestClick);
  settings->addWidget(fitSysErr_);
  settings->addSpacing(8);
  settings->addWidget(stepLabel);
  settings->addWidget(editStep_);
  settings->addStretch();
  settings->addWidget(testData_);
  settings->addWidget(fitTest_);
  right->addLayout(settings);

  auto* panelFrame = new QFrame;
  panelFrame->setObjectName(QStringLiteral("PanelFitCurve"));
  panelFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* panelLayout = new QVBoxLayout(panelFrame);
  panelLayout->setContentsMargins(1, 1, 1, 1);
  panel_ = new FitCurvePanel;
  panelLayout->addWidget(panel_);
  right->addWidget(panelFrame, 0, Qt::AlignHCenter);

  columns->addLayout(left, 1);
  columns->addLayout(right, 0);
  return page;
}

// ---- window events ----

void DataInputWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void DataInputWindow::FormShow() {
  {
    const QSignalBlocker blocker(dataType_);
    dataType_->clear();
    dataType_->addItem(QString::fromLatin1(kDataTypeNmr));
    dataType_->setCurrentIndex(0);
  }
  SelectNmrDataType(plan_, *model_);
  labelStoichiom_->setText(QString::fromLatin1(kLabelStoichiomNmr));
  labelNmr_->show();
  refreshFromPlan();
}

void DataInputWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    if (!leftForDialog_) FormActivate();
    leftForDialog_ = false;
  } else {
    leftForDialog_ = dialogDepth_ > 0;
  }
}

void DataInputWindow::FormActivate() {
  plan_.DataSaved = false;
  plan_.DataError = false;
}

void DataInputWindow::closeEvent(QCloseEvent* event) {
  if (busy_) {
    event->ignore();
    return;
  }
  if (!plan_.DataSaved) {
    MessageResult answer;
    {
      DialogScope scope(*this);
      answer = dialogs_->ask(this, QString::fromLatin1(kSaveQuestionOnClose), false);
    }
    if (answer == MessageResult::Yes) MenuSaveClick();
  }
  // The window only hides: its grids wait for the next showing.
  QMainWindow::closeEvent(event);
}

void DataInputWindow::MenuExitClick() {
  if (busy_) return;
  if (!plan_.DataSaved) {
    MessageResult answer;
    {
      DialogScope scope(*this);
      answer = dialogs_->ask(this, QString::fromLatin1(kSaveQuestionOnExit), true);
    }
    if (answer == MessageResult::Yes) {
      MenuSaveClick();
      return;
    }
  }
  plan_.DataSaved = true;
  close();
}

void DataInputWindow::CheckBoxFitSysErrClick() {
  plan_.FitSysErr = fitSysErr_->isChecked();
  model_->FitBlock[1] = plan_.FitSysErr ? 1 : 0;
}

// ---- reactants ----

void DataInputWindow::BitBtnAddReactantClick() {
  std::optional<QString> name;
  {
    DialogScope scope(*this);
    name = dialogs_->reactantName(this, ReactantDialogKind::New,
                                  [this](const QString&) -> std::optional<QString> {
                                    if (const auto refusal = NewReactantRefusal(plan_))
                                      return text(refusal->text);
                                    return std::nullopt;
                                  });
  }
  // Closed without Ok: nothing is added.
  if (!name) return;
  AddReactant(plan_, name->toStdString());
  refreshFromPlan();
}

void DataInputWindow::BitBtnRemoveReactantClick() {
  DialogScope scope(*this);
  if (const auto refusal = RemoveReactantRefusal(plan_)) {
    showNotices({*refusal});
    return;
  }
  const std::optional<QString> name = dialogs_->reactantName(
      this, ReactantDialogKind::Remove, [this](const QString& typed) -> std::optional<QString> {
        if (const auto refusal = ReactantNameRefusal(plan_, typed.toStdString()))
          return text(refusal->text);
        return std::nullopt;
      });
  // Closed without Ok: nothing is removed.
  if (!name) return;
  if (dialogs_->ask(this, text(RemoveConfirmation(name->toStdString())), true) !=
      MessageResult::Yes)
    return;
  RemoveReactant(plan_, name->toStdString());
  refreshFromPlan();
}

// ---- Test Data, Save, Open ----

bool DataInputWindow::BitBtnTestDataClick() {
  const Notices notices = TestData(plan_, *model_);
  showNotices(notices);
  stabGrid_->refresh();
  return !plan_.DataError;
}

void DataInputWindow::MenuSaveClick() {
  if (busy_) return;
  QDir::setCurrent(workFolder_);
  DialogScope scope(*this);
  const auto chosen =
      dialogs_->saveFileName(this, QString::fromLatin1(kSaveDialogTitle), workFolder_, kSaveFilter);
  if (!chosen || chosen->isEmpty()) return;
  const std::string path = DatFileName(localPath(*chosen));
  std::error_code ec;
  if (std::filesystem::exists(path, ec) &&
      dialogs_->ask(this, text(OverwriteQuestion(path)), true) != MessageResult::Yes)
    return;
  SaveOutcome outcome;
  {
    const WaitCursor wait;
    setBusy(true);
    outcome = SavePlan(plan_, *model_, path, localPath(workFolder_));
    setBusy(false);
  }
  showNotices(outcome.notices);
  stabGrid_->refresh();
  if (outcome.saved) setWindowTitle(displayPath(outcome.caption));
}

void DataInputWindow::MenuOpenClick() {
  if (busy_) return;
  QDir::setCurrent(workFolder_);
  DialogScope scope(*this);
  const auto chosen =
      dialogs_->openFileName(this, QString::fromLatin1(kOpenDialogTitle), workFolder_, kOpenFilter);
  if (!chosen || chosen->isEmpty()) return;
  OpenOutcome outcome;
  {
    const WaitCursor wait;
    setBusy(true);
    outcome = OpenPlan(plan_, *model_, localPath(*chosen));
    setBusy(false);
  }
  refreshFromPlan();
  showNotices(outcome.notices);
  if (outcome.loaded) setWindowTitle(displayPath(outcome.caption));
}

// ---- Fitting Test ----

void DataInputWindow::BitBtnFitTestClick() {
  if (busy_ || (otherRun_ && otherRun_())) return;
  QDir::setCurrent(workFolder_);
  DialogScope scope(*this);
  FittingTestOutcome outcome;
  {
    const WaitCursor wait;
    outcome = PrepareFittingTest(plan_, *model_);
  }
  stabGrid_->refresh();
  showNotices(outcome.notices);
  if (outcome.ready) runFittingTest();
}

bool DataInputWindow::runFittingTest() {
  RunStatus status;
  {
    const WaitCursor wait;
    setBusy(true);
    // The Simplex driver with SingleStep set computes the property once for the constants as
    // typed; the compute command's handlers report a failure that leaves the driver.
    model_->FittingMethod = kSimplex;
    status = runComputeCommand(*model_, platform_);
    setBusy(false);
  }
  // A run that stopped has told the user why; the curve file may be one of an earlier test,
  // which must not pass for the curve of these constants.
  plan_.CurveShown = false;
  if (status != RunStatus::Completed) {
    syncPanel();
    return false;
  }
  FitCurveLoad load = loadFitCurve(kFitTestCurveName, plan_.DecimalSeparator);
  if (!load.plot) {
    syncPanel();
    dialogs_->message(this, load.kind, load.caption, load.text);
    return false;
  }
  panel_->setCurve(std::move(load.plot));
  plan_.CurveShown = true;
  return true;
}

void DataInputWindow::setBusy(bool busy) {
  busy_ = busy;
  for (QWidget* w : {static_cast<QWidget*>(addReactant_), static_cast<QWidget*>(removeReactant_),
                     static_cast<QWidget*>(testData_), static_cast<QWidget*>(fitTest_)})
    w->setEnabled(!busy);
  menuBar()->setEnabled(!busy);
}

// ---- showing the plan ----

void DataInputWindow::refreshFromPlan() {
  expGrid_->refresh();
  stabGrid_->refresh();
  {
    const QSignalBlocker blocker(fitSysErr_);
    fitSysErr_->setChecked(plan_.FitSysErr);
  }
  {
    const QSignalBlocker blocker(editStep_);
    const QString step = text(plan_.EditStep);
    if (editStep_->text() != step) editStep_->setText(step);
  }
  syncPanel();
}

void DataInputWindow::syncPanel() {
  if (!plan_.CurveShown) panel_->setCurve(std::nullopt);
}

void DataInputWindow::showNotices(const Notices& notices) {
  DialogScope scope(*this);
  for (const Notice& notice : notices)
    dialogs_->message(this, notice.kind, messageCaption(notice.kind), text(notice.text));
}

DataInputWindow* showDataInputWindow(QWidget* owner, const QString& workFolder,
                                     std::function<bool()> runUnderWay) {
  DataInputWindow* form =
      owner ? owner->findChild<DataInputWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
  if (!form) {
    form = new DataInputWindow(workFolder, makeQtPlanDialogs(), owner);
    form->setOtherRunUnderWay(std::move(runUnderWay));
  }
  if (form->isMinimized()) form->showNormal();
  form->show();
  form->raise();
  form->activateWindow();
  return form;
}

}  // namespace tarvolin::ui
