// The start dialog driven on the offscreen platform: the output-name filter and its
// normalisation, the R-factor change under either decimal separator, the control file and the
// status panel written by OK, the history file and its absence, the hidden step field, and the
// results document that the JSON check box asks for.

#include "ui/main_window/start_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QLocale>
#include <nlohmann/json.hpp>

#include "tests/ui/ui_test_support.h"

using namespace tarvolin;
using namespace tarvolin::ui;
using namespace tarvolin::ui::testing;

class StartDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QLocale::setDefault(QLocale::c()); }

  // Typed characters: the blank and punctuation refused, letters, digits, "-", ".", "_" and
  // "`" kept; Enter normalises the name (its extension becomes .OUT), adds it to the list and
  // selects it, and does not close the dialog. The step field is hidden; it shows Step when the
  // dialog comes up and a key released in it stores its value into Step.
  void outputNameEntryAndStepField() {
    WorkFolder folder({"TEST.DAT"});
    auto form = newMainWindow(folder.path());
    StartDialog* dlg = form->startDialog();
    form->model().Step = 0.25L;
    dlg->show();
    QVERIFY(!dlg->stepEdit()->isVisible());
    QCOMPARE(dlg->stepEdit()->text(), "0.25");
    dlg->stepEdit()->clear();
    QTest::keyClicks(dlg->stepEdit(), "0.5");
    QCOMPARE(static_cast<double>(form->model().Step), 0.5);
    QLineEdit* edit = dlg->outputEdit();
    for (const auto& [typed, kept] : {std::pair{" !\"#$%&'()*+,/:;<=>?@[\\]^{|}~", ""},
                                      {"res old", "resold"},
                                      {"Az09-_`.x", "Az09-_`.x"}}) {
      QTest::keyClicks(edit, typed);
      QCOMPARE(edit->text(), kept);
      edit->clear();
    }
    QTest::keyClicks(edit, "res.old");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), "res.OUT");
    QVERIFY(dlg->outputList()->currentItem());
    QCOMPARE(dlg->outputList()->currentItem()->text(), "res.OUT");
    QCOMPARE(dlg->outputName(), "res.OUT");
    QVERIFY(dlg->isVisible());
    // The same name again (the extension is what follows the first ".") is selected, not added
    // twice; a name that is all extension is no name.
    QCOMPARE(normalisedOutputName(".hidden"), QString());
    edit->clear();
    QTest::keyClicks(edit, "res.b.txt");
    const int outputs = dlg->outputList()->count();
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(edit->text(), "res.OUT");
    QCOMPARE(dlg->outputList()->count(), outputs);
    // Pasted text obeys the same rule as typed text.
    edit->clear();
    edit->insert("a b");
    QCOMPARE(edit->text(), QString());
  }

  void deltaRF_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("point") << QLocale::c();
    QTest::newRow("comma") << QLocale(QLocale::German, QLocale::Germany);
  }

  // "1,5e-6" and "1.5e-6" are accepted whichever separator the user's locale has; a text with
  // two separators is refused with the message, and the field and the option are reset.
  void deltaRF() {
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    WorkFolder folder({"TEST.DAT"});
    MessageLog log;
    auto form = newMainWindow(folder.path());
    StartDialog* dlg = form->startDialog();
    for (const char* text : {"1,5e-6", "1.5e-6"}) {
      dlg->show();
      dlg->oneByOneBox()->setChecked(true);
      dlg->deltaRFEdit()->clear();
      QTest::keyClicks(dlg->deltaRFEdit(), text);
      QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
      QCOMPARE(dlg->result(), int(QDialog::Accepted));
      QCOMPARE(form->model().DeltaRF, 1.5e-6f);
      QCOMPARE(form->model().FitOneByOne, 1);
    }
    QVERIFY(log.messages.isEmpty());

    for (const char* text : {"1,5.3", "abc", "-1e-6", "1e99"}) {
      dlg->show();
      form->model().DeltaRF = 5;
      dlg->deltaRFEdit()->setText(text);
      QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
      QVERIFY2(dlg->isVisible(), text);
      QCOMPARE(log.messages.last().text,
               "Please, input correct value for Hamilton R-Factor change.");
      QCOMPARE(form->model().DeltaRF, 1e-6f);
      QCOMPARE(dlg->deltaRFEdit()->text(), "1" + locale.decimalPoint() + "0e-6");
      dlg->reject();
    }
    // Without the one-by-one mode the field is not read.
    dlg->show();
    dlg->oneByOneBox()->setChecked(false);
    dlg->deltaRFEdit()->setText("nonsense");
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    QCOMPARE(dlg->result(), int(QDialog::Accepted));
  }

  // No history: the first input file of the sorted list (*.SQD among the *.DAT) and Simplex.
  // The data-input window's work files are not offered.
  void withoutHistory() {
    WorkFolder folder({"POT_TITRATION.DAT", "METHOD7.DAT", "CU_GLYCINE.SQD"});
    folder.write("notes.txt", "not an input\r\n");
    for (const char* work : {"_ExpPlan.DAT", "_ExpPlan.OUT"}) folder.write(work, "1\r\n");
    auto form = newMainWindow(folder.path());
    StartDialog* dlg = form->startDialog();
    dlg->show();
    QCOMPARE(dlg->inputList()->count(), 3);
    QCOMPARE(dlg->outputList()->count(), 1);
    QCOMPARE(dlg->inputList()->item(0)->text(), "CU_GLYCINE.SQD");
    QCOMPARE(dlg->inputList()->item(2)->text(), "POT_TITRATION.DAT");
    QCOMPARE(dlg->selectedInput(), "CU_GLYCINE.SQD");
    QCOMPARE(dlg->inputName(), "CU_GLYCINE.SQD");
    QCOMPARE(dlg->methodList()->currentRow(), 1);
    QCOMPARE(form->checkedMethod(), 1);
    // The main window made "CURRENT.OUT", which is the output offered.
    QCOMPARE(dlg->selectedOutput(), "CURRENT.OUT");
    QVERIFY(!dlg->historyPending());
  }

  // OK writes "IN.IN" and the status panel and checks the method; the choices survive the
  // session in "Tarvolin.INP" and come back at the first showing of the next session.
  void okAndHistoryRoundTrip() {
    WorkFolder folder({"TEST.DAT", "POT_TITRATION.DAT"});
    MessageLog log;
    {
      auto form = newMainWindow(folder.path());
      StartDialog* dlg = form->startDialog();
      dlg->show();
      QCOMPARE(dlg->selectedInput(), "TEST.DAT");
      clickItem(dlg->methodList(), "Monte Carlo");
      clickItem(dlg->inputList(), "POT_TITRATION.DAT");
      QTest::keyClicks(dlg->outputEdit(), "res");
      QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
      QCOMPARE(dlg->result(), int(QDialog::Accepted));
      QCOMPARE(folder.read("IN.IN"), QByteArray("POT_TITRATION.DAT\r\nres.OUT\r\n"));
      QCOMPARE(form->statusText(3),
               QString("Fitting method: Monte Carlo   Input file: POT_TITRATION.DAT   "
                       "Output file: res.OUT"));
      QCOMPARE(form->checkedMethod(), 2);
      QVERIFY(form->close());
    }
    QCOMPARE(log.texts(), QStringList{"End the program?"});
    const QByteArray history("POT_TITRATION.DAT\r\nres.OUT\r\n2\r\n");
    QCOMPARE(folder.read("Tarvolin.INP"), history);
    // A session that never shows the dialog leaves the history as it was.
    QVERIFY(newMainWindow(folder.path())->close());
    QCOMPARE(folder.read("Tarvolin.INP"), history);

    folder.write("res.OUT", "report\r\n");
    auto form = newMainWindow(folder.path());
    QCOMPARE(form->checkedMethod(), 1);  // read at the first showing, not before
    form->startDialog()->show();
    QCOMPARE(form->checkedMethod(), 2);
    QCOMPARE(form->startDialog()->methodList()->currentRow(), 2);
    QCOMPARE(form->startDialog()->selectedInput(), "POT_TITRATION.DAT");
    QCOMPARE(form->startDialog()->selectedOutput(), "res.OUT");
  }

  // "Write results as JSON": a history file of three lines reads as unchecked (its method index
  // outside 0..2 as Gradient); checked, a run leaves <report name>.json beside its report, and the
  // choice comes back in the next session from a fourth history line.
  void resultsJsonBox() {
    WorkFolder folder({"TEST.DAT"});
    MessageLog log;
    folder.write("Tarvolin.INP", "TEST.DAT\r\nCURRENT.OUT\r\n7\r\n");
    {
      auto form = newMainWindow(folder.path());
      OnModal<StartDialog> start([&](StartDialog* dlg) {
        QCOMPARE(form->checkedMethod(), 0);
        QCOMPARE(dlg->methodList()->currentRow(), 0);
        QVERIFY(!dlg->resultsJsonBox()->isChecked());
        dlg->resultsJsonBox()->setChecked(true);
        chooseRun("Simplex", "TEST.DAT", "run1")(dlg);
      });
      form->show();
      form->findChild<QAction*>("MenuFitting")->trigger();
      QCOMPARE(start.count, 1);
      QVERIFY2(log.messages.isEmpty(), qPrintable(log.texts().join('|')));
      const auto doc = nlohmann::json::parse(folder.read("run1.json").toStdString());
      QCOMPARE(doc["output"].get<std::string>(), std::string("run1.OUT"));
      QCOMPARE(doc["exit_status"].get<int>(), 0);
      QCOMPARE(doc["program"].get<std::string>(), std::string("tarvolin"));
      QCOMPARE(doc["systems"].size(), std::size_t{1});
      QVERIFY(form->close());
    }
    QCOMPARE(folder.read("Tarvolin.INP"), QByteArray("TEST.DAT\r\nrun1.OUT\r\n1\r\n1\r\n"));
    auto form = newMainWindow(folder.path());
    form->startDialog()->show();
    QVERIFY(form->startDialog()->resultsJsonBox()->isChecked());
  }

  // With no input file OK ends with Cancel, so that no run starts on nothing.
  void emptyInputListCancels() {
    WorkFolder folder;
    auto form = newMainWindow(folder.path());
    StartDialog* dlg = form->startDialog();
    dlg->show();
    QCOMPARE(dlg->inputList()->count(), 0);
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    QCOMPARE(dlg->result(), int(QDialog::Rejected));
  }
};

QTEST_MAIN(StartDialogTest)
#include "start_dialog_test.moc"
