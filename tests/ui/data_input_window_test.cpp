// The data-input window driven on the offscreen platform, with scripted dialogs. The grids' rules,
// Test Data's messages and the DAT files are tested without a window; here what the window adds:
// its widgets and what they show, reactants through their dialogs, cells typed and pasted, the
// save and open dialogs with the overwrite question, the Fitting Test's picture, the exit
// questions and the Qt dialogs behind the interface.

#include "ui/data_input/data_input_window.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <deque>
#include <vector>

#include "tests/ui/ui_test_support.h"
#include "ui/data_input/fit_curve_panel.h"
#include "ui/data_input/plan/plan_files.h"
#include "ui/data_input/plan_grid_view.h"
#include "ui/data_input/reactant_dialogs.h"

using namespace tarvolin;
using namespace tarvolin::ui;
using namespace tarvolin::data_input;
using tarvolin::ui::testing::countColour;
using tarvolin::ui::testing::MessageLog;
using tarvolin::ui::testing::WorkFolder;

namespace {

// The scripted dialogs' record; `names` are the names given at each Ok of a reactant dialog
// (nullopt: closed).
struct Script : testing::DialogScript<MessageResult> {
  std::deque<std::optional<QString>> names;
};

class ScriptedDialogs : public PlanDialogs {
 public:
  explicit ScriptedDialogs(Script& script) : s_(script) {}
  void message(QWidget*, MessageKind kind, const QString& caption, const QString& text) override {
    s_.messages.push_back({kind, caption, text});
  }
  MessageResult ask(QWidget*, const QString& text, bool) override {
    return s_.ask(text, MessageResult::Yes);
  }
  std::optional<QString> openFileName(QWidget*, const QString& title, const QString&,
                                      const QString&) override {
    return s_.file(title);
  }
  std::optional<QString> saveFileName(QWidget*, const QString& title, const QString&,
                                      const QString&) override {
    return s_.file(title);
  }
  std::optional<QString> reactantName(QWidget*, ReactantDialogKind,
                                      const Refusal& refusal) override {
    while (const std::optional<QString> name = testing::nextAnswer(s_.names, {})) {
      if (const auto refused = refusal(*name)) {
        s_.messages.push_back({MessageKind::Information, "Information", *refused});
        continue;
      }
      return name;
    }
    return std::nullopt;
  }

 private:
  Script& s_;
};

QString header(PlanGridView* view, Qt::Orientation orientation, int section) {
  return view->model()->headerData(section, orientation, Qt::DisplayRole).toString();
}
// Headings of the grid's columns beyond the label column.
QStringList headings(PlanGridView* view) {
  QStringList all;
  for (int c = 0; c < view->model()->columnCount(); ++c) all << header(view, Qt::Horizontal, c);
  return all;
}
QString cellText(const Grid& grid, int row, int column) {
  return QString::fromStdString(grid.cell(row, column));
}
QString shown(PlanGridView* view, int row, int column) {
  return view->model()->index(row - 1, column - 1).data().toString();
}

// Types into a cell as a person does: the editor opens, the text is typed, Enter commits.
void typeCell(PlanGridView* view, int row, int column, const QString& text) {
  const QModelIndex index = view->model()->index(row - 1, column - 1);
  view->scrollTo(index);
  view->setCurrentIndex(index);
  view->edit(index);
  auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(index));
  QVERIFY(editor);
  editor->selectAll();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  // The delegate commits the text and closes the editor once the key has been handled.
  QTRY_VERIFY(!view->indexWidget(index));
}

void setCells(PlanGridView* view, int row, const QStringList& cells) {
  for (int c = 0; c < cells.size(); ++c)
    view->model()->setData(view->model()->index(row - 1, c), cells[c], Qt::EditRole);
}

constexpr QRgb kPurplePixel = qRgb(0x80, 0x00, 0x80);

}  // namespace

class DataInputWindowTest : public QObject {
  Q_OBJECT

 private:
  DataInputWindow* newForm() {
    forms_.push_back(std::make_unique<DataInputWindow>(folder_->path(),
                                                       std::make_unique<ScriptedDialogs>(script_)));
    forms_.back()->show();
    return forms_.back().get();
  }
  void addReactants(DataInputWindow* form, const QStringList& names) {
    for (const QString& name : names) {
      script_.names.push_back(name);
      form->BitBtnAddReactantClick();
    }
  }
  // Zinc(II) and pyridine at five points, with the complexes AB and A2B.
  void fillTwoReactants(DataInputWindow* form) {
    addReactants(form, {QString(), QString()});
    for (const QStringList& row : testing::tableRows("zinc_pyridine_grids.txt"))
      setCells(row[0] == "points" ? form->expDataGrid() : form->stabConstGrid(), row[1].toInt(),
               row.mid(2));
  }
  QString file(const QString& name) const { return folder_->file(name); }
  QByteArray read(const QString& name) const { return folder_->read(name); }

  std::unique_ptr<WorkFolder> folder_;
  Script script_;
  std::vector<std::unique_ptr<DataInputWindow>> forms_;

 private slots:
  void init() {
    folder_ = std::make_unique<WorkFolder>(QStringList{"NMR_BATCH.DAT", "TWO_BLOCKS.DAT"});
    script_ = Script();
  }
  void cleanup() {
    for (auto& form : forms_) form->plan().DataSaved = true;  // no question on the way out
    forms_.clear();
    QLocale::setDefault(QLocale::c());
  }

  void windowAsCreatedAndShown() {
    DataInputWindow* form = newForm();
    QCOMPARE(form->windowTitle(), "Experimental Data and Speciation");
    QCOMPARE(form->size(), QSize(792, 569));
    QCOMPARE(form->expDataGrid()->cornerText(), "no.");
    QCOMPARE(headings(form->expDataGrid()), QStringList{"Exp. Property"});
    QCOMPARE(form->stabConstGrid()->cornerText(), "Chem.Equ.");
    QCOMPARE(headings(form->stabConstGrid()),
             (QStringList{"Log BETA", "Fit: Y/N", "NMR Shift", "Fit: Y/N"}));
    QCOMPARE(form->stabConstGrid()->model()->rowCount(), 100);
    // Headings are never cut, whatever the desktop's font.
    const QFontMetrics metrics(form->stabConstGrid()->horizontalHeader()->font());
    for (int c : {0, 1, 3})
      QVERIFY(form->stabConstGrid()->columnWidth(c) >=
              metrics.horizontalAdvance(header(form->stabConstGrid(), Qt::Horizontal, c)));
    QVERIFY(form->stabConstGrid()->verticalHeader()->width() >=
            metrics.horizontalAdvance("Chem.Equ."));

    // Which widget shows what.
    for (const QStringList& w : testing::tableRows("data_input_widgets.txt"))
      QCOMPARE(form->findChild<QWidget*>(w[0])->property(qPrintable(w[1])).toString(), w[2]);
    QCOMPARE(form->findChild<QComboBox*>("ComboBoxDataType")->count(), 1);
    QVERIFY(form->findChild<QLabel*>("LabelNMR")->isVisible());

    // The check box sets FitBlock of the block at once, and Test Data keeps it.
    form->findChild<QCheckBox*>("CheckBoxFitSysErr")->click();
    QCOMPARE(int(form->model().FitBlock[1]), 1);
  }

  void addingAndRemovingReactants() {
    DataInputWindow* form = newForm();
    // Remove with none there: refused before any dialog opens.
    form->BitBtnRemoveReactantClick();
    QCOMPARE(script_.texts(), QStringList{"There is no Reactant to remove"});

    addReactants(form, {"L", "M", "X"});
    // The dialog closed without Ok adds nothing.
    script_.names.push_back(std::nullopt);
    form->BitBtnAddReactantClick();
    QCOMPARE(form->plan().reactantCount(), 3);
    addReactants(form, {"  "});
    QCOMPARE(headings(form->expDataGrid()), (QStringList{"Exp. Property", "L", "M", "X", "D"}));
    QCOMPARE(headings(form->stabConstGrid()).mid(4), (QStringList{"L", "M", "X", "D"}));

    // No to the confirmation removes nothing.
    script_.clear();
    script_.names = {"M"};
    script_.answers = {MessageResult::No};
    form->BitBtnRemoveReactantClick();
    QCOMPARE(script_.questions, QStringList{"You are sure to remove reactant  M"});
    QCOMPARE(form->plan().reactantCount(), 4);

    script_.names = {"M"};
    form->BitBtnRemoveReactantClick();
    QCOMPARE(headings(form->expDataGrid()), (QStringList{"Exp. Property", "L", "X", "D"}));
    QCOMPARE(headings(form->stabConstGrid()).mid(4), (QStringList{"L", "X", "D"}));
  }

  void typedAndPastedCellsReachThePlan() {
    // A desktop whose decimal separator is the comma: the grids take it, as typed.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    DataInputWindow* form = newForm();
    QCOMPARE(form->plan().DecimalSeparator, ',');
    fillTwoReactants(form);
    typeCell(form->expDataGrid(), 1, concentrationColumn(1), "0,05");
    typeCell(form->expDataGrid(), 2, concentrationColumn(1), "0.05");
    QCOMPARE(cellText(form->plan().ExpData, 1, concentrationColumn(1)), "0,05");
    // The last point row is as reachable as the first.
    typeCell(form->expDataGrid(), 3300, kPropertyColumn, "1");
    QCOMPARE(cellText(form->plan().ExpData, 3300, kPropertyColumn), "1");
    form->plan().ExpData.setCell(3300, kPropertyColumn, "");

    // A block copied from a spreadsheet lands at the current cell, tabs between columns.
    QApplication::clipboard()->setText("8,25\t0,03\t0,002\r\n8,2\t0,029\t0,004\r\n");
    form->expDataGrid()->setCurrentIndex(form->expDataGrid()->model()->index(3, 0));
    QTest::keySequence(form->expDataGrid(), QKeySequence::Paste);
    QCOMPARE(shown(form->expDataGrid(), 4, kPropertyColumn), "8,25");
    QCOMPARE(shown(form->expDataGrid(), 5, concentrationColumn(2)), "0,004");
    QVERIFY(form->BitBtnTestDataClick());
    QVERIFY(form->model().Yexp[4] == 8.25L);
    // Delete empties the selection.
    form->expDataGrid()->selectionModel()->select(form->expDataGrid()->model()->index(4, 0),
                                                  QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(form->expDataGrid(), Qt::Key_Delete);
    QCOMPARE(cellText(form->plan().ExpData, 5, kPropertyColumn), QString());
  }

  void saveAndOpenThroughTheirDialogs() {
    DataInputWindow* form = newForm();
    fillTwoReactants(form);
    form->findChild<QCheckBox*>("CheckBoxFitSysErr")->setChecked(true);
    form->findChild<QLineEdit*>("EditStep")->setText("0.1");
    QDir(folder_->path()).mkdir("data");
    // The name gets its extension; the caption names the file.
    script_.files = {file("data/zinc")};
    form->MenuSaveClick();
    QCOMPARE(script_.fileTitles, QStringList{"Save input data as the *.DAT file"});
    QVERIFY(script_.questions.isEmpty());
    QVERIFY(form->plan().DataSaved);
    QCOMPARE(form->windowTitle(), "Data and Speciation.   File: zinc.DAT");
    const QByteArray first = read("data/zinc.DAT");
    QVERIFY(first.startsWith("1\r\nExp. method: NMR; Reagents: A B; Product(s):A2B\r\n"));

    // No to the overwrite question leaves the file as it was.
    setCells(form->stabConstGrid(), 3, {"3.1"});
    script_.clear();
    script_.files = {file("data/zinc.DAT")};
    script_.answers = {MessageResult::No};
    form->MenuSaveClick();
    QCOMPARE(script_.questions, QStringList{"OK to overwrite " + file("data/zinc.DAT")});
    QCOMPARE(read("data/zinc.DAT"), first);

    // Yes: the old content becomes the backup in the program's folder.
    script_.files = {file("data/zinc.DAT")};
    form->MenuSaveClick();
    QCOMPARE(read("zinc.BAK"), first);
    QVERIFY(!QFile::exists(file("data/zinc.BAK")));
    const QByteArray second = read("data/zinc.DAT");
    QVERIFY(second != first);
    QVERIFY(second.contains("3.10000"));

    // A cancelled dialog writes nothing.
    script_.clear();
    form->MenuSaveClick();
    QVERIFY(script_.messages.empty());

    // Another window opens it: the grids, the check box and the step field show what was saved.
    DataInputWindow* other = newForm();
    addReactants(other, {"Q"});
    script_.clear();
    script_.files = {file("data/zinc.DAT")};
    other->MenuOpenClick();
    QCOMPARE(script_.fileTitles, QStringList{"Select *.DAT file to open..."});
    QVERIFY(script_.messages.empty());
    QCOMPARE(headings(other->expDataGrid()), (QStringList{"Exp. Property", "A", "B"}));
    QCOMPARE(shown(other->expDataGrid(), 5, concentrationColumn(2)), "0.008");
    QCOMPARE(header(other->stabConstGrid(), Qt::Vertical, 3), "A2B");
    QVERIFY(other->findChild<QCheckBox*>("CheckBoxFitSysErr")->isChecked());
    QCOMPARE(other->findChild<QLineEdit*>("EditStep")->text(), "0.1");
    QCOMPARE(other->windowTitle(), "Data and Speciation.   File: zinc.DAT");

    // A refused open shows its warning and leaves the window as it was.
    script_.clear();
    script_.files = {file("TWO_BLOCKS.DAT")};
    form->MenuOpenClick();
    QVERIFY(!script_.messages.empty());
    QVERIFY(script_.messages.front().kind == MessageKind::Warning);
    QCOMPARE(script_.messages.front().text,
             "Current version of Tarvolin is interactive for one block data only");
    QCOMPARE(headings(form->expDataGrid()), (QStringList{"Exp. Property", "A", "B"}));
    QCOMPARE(form->windowTitle(), "Data and Speciation.   File: zinc.DAT");
  }

  void fittingTestDrawsTheCurve() {
    MessageLog runMessages;
    DataInputWindow* form = newForm();
    script_.files = {file("NMR_BATCH.DAT")};
    form->MenuOpenClick();
    QCOMPARE(form->plan().reactantCount(), 2);
    script_.clear();

    // While a run of the main window is under way the test waits: it would share its files.
    form->setOtherRunUnderWay([] { return true; });
    form->BitBtnFitTestClick();
    QVERIFY(!QFile::exists(file("_ExpPlan.DAT")));
    QVERIFY(script_.messages.empty());
    form->setOtherRunUnderWay({});

    form->findChild<QPushButton*>("BitBtnFitTest")->click();
    // Neither count message, and no message from the run.
    QVERIFY2(script_.messages.empty(), qPrintable(script_.texts().join('|')));
    QVERIFY2(runMessages.messages.isEmpty(), qPrintable(runMessages.texts().join('|')));
    QVERIFY(QFile::exists(file("_ExpPlan.DAT")));
    QVERIFY(read("_ExpPlan.OUT").size() > 1000);
    QCOMPARE(read("IN.IN"), QByteArray("_ExpPlan.DAT\r\n_ExpPlan.OUT\r\n"));
    QVERIFY(form->plan().CurveShown);
    QVERIFY(form->fitCurvePanel()->hasCurve());

    // The picture: the purple curve across the panel; the window for a person to look at.
    const QImage picture = form->fitCurvePanel()->grab().toImage();
    QCOMPARE(picture.size(), QSize(436, 226));
    QVERIFY(countColour(picture, kPurplePixel) > 300);
    // A black circle at each measured point.
    const FitCurveLoad load = loadFitCurve(file(kFitTestCurveName).toStdString(), '.');
    QVERIFY(load.plot);
    const plotting::CurveFrame frame({0, 0, 436, 226}, load.plot->x, load.plot->y);
    for (const plotting::Box& b : plotting::measuredPointBoxes(frame, *load.plot))
      QVERIFY(countColour(picture, qRgb(0, 0, 0),
                          QRect(QPoint(b.left, b.top), QPoint(b.right, b.bottom))) >= 8);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    testing::saveScreenshot(form, "plan_form");

    // Adding a reactant clears the panel.
    addReactants(form, {"K"});
    QVERIFY(!form->plan().CurveShown);
    QCOMPARE(countColour(form->fitCurvePanel()->grab().toImage(), qRgb(255, 255, 255)), 436 * 226);

    // Data that fail the test: its failure alone, and no run.
    QFile::remove(file("_ExpPlan.DAT"));
    script_.clear();
    form->BitBtnFitTestClick();
    QCOMPARE(script_.texts(), QStringList{"Incorrect concentration: Exp. point 1; Reactant K"});
    QVERIFY(!QFile::exists(file("_ExpPlan.DAT")));
    QVERIFY(!form->fitCurvePanel()->hasCurve());
  }

  void fitCurveFileProblems() {
    QDir::setCurrent(folder_->path());
    FitCurveLoad load = loadFitCurve("_ExpPlan.TTC", '.');
    QVERIFY(!load.plot);
    QCOMPARE(load.text, "Cannot find file '_ExpPlan.TTC'");
    // One point spreads over no range.
    folder_->write("_ExpPlan.TTC", "1\r\n    1.0  8.1\r\n    1.0  8.2\r\n");
    load = loadFitCurve("_ExpPlan.TTC", '.');
    QVERIFY(!load.plot);
    QVERIFY(load.kind == MessageKind::Warning);
    QCOMPARE(load.caption, "Titration curve");
    QCOMPARE(load.text, "Impossible to plot experimental data");
  }

  void exitAndCloseQuestions() {
    DataInputWindow* form = newForm();
    QApplication::setActiveWindow(form);
    // Exit, No: the window closes without saving.
    script_.answers = {MessageResult::No};
    form->MenuExitClick();
    QCOMPARE(script_.questions, QStringList{"Save input data?"});
    QVERIFY(!form->isVisible());
    QVERIFY(form->plan().DataSaved);

    // Coming back to the window asks again.
    form->show();
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    QApplication::setActiveWindow(form);
    QVERIFY(!form->plan().DataSaved);

    // Exit, Yes: Save runs and the window stays open.
    fillTwoReactants(form);
    script_.clear();
    script_.files = {file("EXIT.DAT")};
    form->MenuExitClick();
    QVERIFY(QFile::exists(file("EXIT.DAT")));
    QVERIFY(form->isVisible());
    QVERIFY(form->plan().DataSaved);
    // Saved: Exit closes without a question.
    script_.clear();
    form->MenuExitClick();
    QVERIFY(script_.questions.isEmpty());
    QVERIFY(!form->isVisible());

    // Closing another way: Yes and No only; Yes saves, and the window closes.
    form->show();
    form->plan().DataSaved = false;
    script_.clear();
    script_.files = {file("CLOSED.DAT")};
    QVERIFY(form->close());
    QCOMPARE(script_.questions, QStringList{"Save input data ?"});
    QVERIFY(QFile::exists(file("CLOSED.DAT")));
    // The grids wait for the next showing.
    form->show();
    QCOMPARE(form->plan().reactantCount(), 2);
  }

  // The Qt dialogs behind the interface, answered as a person does as they come up. In the
  // reactant dialogs the name has the focus, Enter acts as Ok, a refused name keeps the dialog open
  // (its refusal in a box of its own) and Escape closes it without Ok.
  void qtDialogsAnswerAsAPersonDoes() {
    const std::unique_ptr<PlanDialogs> dialogs = makeQtPlanDialogs();
    QStringList seen;
    QStringList names{"Q", "Zn"};
    testing::OnModal<QDialog> answer([&](QDialog* dialog) {
      if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        seen << box->text();
        QAbstractButton* no = box->button(QMessageBox::No);
        (no ? no : box->button(QMessageBox::Ok))->click();
      } else if (auto* reactant = qobject_cast<ReactantNameDialog*>(dialog)) {
        seen << reactant->windowTitle();
        QCOMPARE(reactant->focusWidget(), reactant->nameEdit());
        while (reactant->isVisible() && !names.isEmpty()) {
          reactant->nameEdit()->setText(names.takeFirst());
          QTest::keyClick(reactant->nameEdit(), Qt::Key_Return);
        }
        if (reactant->isVisible()) QTest::keyClick(reactant->nameEdit(), Qt::Key_Escape);
      }
    });
    const auto refusal = [](const QString& typed) -> std::optional<QString> {
      if (typed == "Q") return "There is no Reactant named 'Q'";
      return std::nullopt;
    };
    QCOMPARE(dialogs->reactantName(nullptr, ReactantDialogKind::New, refusal),
             std::optional<QString>("Zn"));
    QVERIFY(!dialogs->reactantName(nullptr, ReactantDialogKind::Remove, refusal));
    QCOMPARE(dialogs->ask(nullptr, "Save input data?", true), MessageResult::No);
    dialogs->message(nullptr, MessageKind::Warning, "Titration curve",
                     "Impossible to plot experimental data");
    QCOMPARE(seen, (QStringList{"New Reactant", "There is no Reactant named 'Q'", "Remove Reactant",
                                "Save input data?", "Impossible to plot experimental data"}));
  }

  void mainWindowShowsOneWindow() {
    QWidget owner;
    DataInputWindow* first = showDataInputWindow(&owner, folder_->path());
    QVERIFY(first->isVisible());
    QVERIFY(first->isWindow());
    first->plan().ExpData.setCell(1, kPropertyColumn, "7");
    first->plan().DataSaved = true;
    first->close();
    DataInputWindow* again = showDataInputWindow(&owner, folder_->path());
    QCOMPARE(again, first);
    QVERIFY(again->isVisible());
    QCOMPARE(cellText(again->plan().ExpData, 1, kPropertyColumn), "7");
    again->plan().DataSaved = true;
  }
};

QTEST_MAIN(DataInputWindowTest)
#include "data_input_window_test.moc"
