#pragma once
// The interactive data-input window ("Experimental Data and Speciation"): one block of batch
// NMR data typed into the experimental grid (the measured shift and the total concentration of
// every reactant at each point) and the chemical model into the stability grid (initial lgBETA,
// NMR shift, the two fit flags and the stoichiometric coefficients of every species). From the
// grids it builds the system model, checks it (Test Data), saves and opens DAT files, and runs
// a Fitting Test: one single-step Simplex run for the initial constants, whose calculated curve
// is drawn with the measured points in the fit panel.
//
// The window keeps its grids and its model while hidden; the main window shows it again from
// its Tools menu.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "model/model.h"
#include "ui/data_input/plan/notice.h"
#include "ui/data_input/plan/plan_data.h"
#include "ui/platform/gui_platform.h"
#include "ui/data_input/plan_dialogs.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tarvolin::ui {

class FitCurvePanel;
class PlanGridView;

inline constexpr const char* kDataInputCaption = "Experimental Data and Speciation";

class DataInputWindow : public QMainWindow {
  Q_OBJECT

 public:
  // workFolder: the program's folder, current while files are saved, opened and fitted, and
  // the home of the backups and the Fitting Test's files.
  explicit DataInputWindow(const QString& workFolder,
                    std::unique_ptr<PlanDialogs> dialogs = makeQtPlanDialogs(),
                    QWidget* parent = nullptr);
  ~DataInputWindow() override;

  // --- commands of the buttons and the File menu ---
  void BitBtnAddReactantClick();
  void BitBtnRemoveReactantClick();
  // Test Data: false when it found an error (its message has been shown).
  bool BitBtnTestDataClick();
  void MenuSaveClick();
  void MenuOpenClick();
  void BitBtnFitTestClick();
  void MenuExitClick();

  // --- state, for the main window and for tests ---
  data_input::PlanData& plan() { return plan_; }
  Model& model() { return *model_; }
  GuiPlatform& platform() { return platform_; }
  PlanGridView* expDataGrid() const { return expGrid_; }
  PlanGridView* stabConstGrid() const { return stabGrid_; }
  FitCurvePanel* fitCurvePanel() const { return panel_; }
  QString workFolder() const { return workFolder_; }
  // The main window's runs use the same work files in the program's folder ("IN.IN",
  // "CURRENT.DA~", ...): while one is under way, the Fitting Test waits for it to end.
  void setOtherRunUnderWay(std::function<bool()> underWay) { otherRun_ = std::move(underWay); }
  // Shows the grids and controls as the plan now holds them.
  void refreshFromPlan();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  class DialogScope;

  void FormShow();
  void FormActivate();
  void CheckBoxFitSysErrClick();
  void createControls();
  void createMenu();
  QWidget* createBatchPage();
  void showNotices(const data_input::Notices& notices);
  void syncPanel();
  // Runs the single-step Simplex driver on the files written for the Fitting Test and draws
  // its curve; false when the run or the drawing stopped (the user has been told why).
  bool runFittingTest();
  void setBusy(bool busy);

  QString workFolder_;
  std::unique_ptr<PlanDialogs> dialogs_;
  std::unique_ptr<Model> model_;
  GuiPlatform platform_;
  data_input::PlanData plan_;

  QComboBox* dataType_ = nullptr;
  QTabWidget* pages_ = nullptr;
  PlanGridView* expGrid_ = nullptr;
  PlanGridView* stabGrid_ = nullptr;
  QLabel* labelStoichiom_ = nullptr;
  QLabel* labelNmr_ = nullptr;
  QCheckBox* fitSysErr_ = nullptr;
  QLineEdit* editStep_ = nullptr;
  QPushButton* addReactant_ = nullptr;
  QPushButton* removeReactant_ = nullptr;
  QPushButton* testData_ = nullptr;
  QPushButton* fitTest_ = nullptr;
  FitCurvePanel* panel_ = nullptr;

  std::function<bool()> otherRun_;
  bool busy_ = false;           // a save, an open or a Fitting Test is under way
  int dialogDepth_ = 0;         // modal dialogs of this window now open
  bool leftForDialog_ = false;  // the last deactivation was to one of them
};

// The main window's Tools, Interactive Data Input...: shows the owner's data-input window,
// creating it the first time; its grids stay as they were between showings. runUnderWay tells
// whether the owner's own run is under way.
DataInputWindow* showDataInputWindow(QWidget* owner, const QString& workFolder,
                       std::function<bool()> runUnderWay = {});

}  // namespace tarvolin::ui
