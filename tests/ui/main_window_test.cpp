// The main window driven on the offscreen platform: a compute command from the start dialog to
// the report window, an input error that opens the input for correction, Cancel through the
// progress window and a compute command that arrives during the run, the pictures (Save as
// Image, Print, Load Image), the menus' states, the windows' commands and the program's start
// and close.

#include "ui/main_window/main_window.h"

#include <QAction>
#include <QLabel>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolBar>

#include "tests/ui/ui_test_support.h"
#include "ui/editor/editor_window.h"
#include "ui/main_window/about_dialog.h"
#include "ui/main_window/progress_dialog.h"
#include "ui/main_window/start_up_dialog.h"
#include "ui/main_window/user_guide.h"
#include "ui/platform/jpeg_image.h"

using namespace tarvolin;
using namespace tarvolin::ui;
using namespace tarvolin::ui::testing;

namespace {

QAction* action(MainWindow& form, const char* name) {
  QAction* found = form.findChild<QAction*>(QLatin1String(name));
  if (!found) qFatal("no action %s", name);
  return found;
}

// The trial count of the first Monte Carlo search in a report.
int firstTrialCount(const QByteArray& report) {
  const QRegularExpression after("After Iteration\\s+(\\d+)");
  const auto match = after.match(QString::fromLatin1(report));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // A fit of TEST.DAT from the menu: the report, the report window captioned with the input file
  // and the menus back as they were. The start dialog and the main window with the report are
  // pictures for a person to look at.
  void computeCommandEndToEnd() {
    WorkFolder folder({"TEST.DAT", "POT_TITRATION.DAT", "CU_GLYCINE.SQD"});
    MessageLog log;
    auto form = newMainWindow(folder.path());
    form->resize(1100, 760);
    form->show();
    OnModal<StartDialog> start([](StartDialog* dlg) {
      clickItem(dlg->methodList(), "Simplex");
      clickItem(dlg->inputList(), "TEST.DAT");
      QTest::keyClicks(dlg->outputEdit(), "run1");
      QTest::keyClick(dlg->outputEdit(), Qt::Key_Return);
      saveScreenshot(dlg, "start_calc_dialog");
      QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    });
    bool progressSeen = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, [&] {
      if (form->runUnderWay() && form->progressDialog()->isVisible()) progressSeen = true;
    });
    probe.start(0);
    action(*form, "MenuFitting")->trigger();
    probe.stop();

    QCOMPARE(start.count, 1);
    QVERIFY2(log.messages.isEmpty(), qPrintable(log.texts().join('|')));
    QVERIFY(folder.read("run1.OUT").contains("Fitting method: Simplex"));
    // Batch data whose totals run one way: the report, then the residual, percentage and
    // titration-curve windows.
    const QStringList afterRun{"run1.OUT  for  TEST.DAT", "Residual Analysis",
                               "Basic Components Percentage: [run1BC1.BCP]", "Titration Curve"};
    QCOMPARE(captions(*form), afterRun);
    QVERIFY(progressSeen);
    QVERIFY(!form->progressDialog()->isVisible());
    QCOMPARE(form->progressDialog()->windowTitle(), "Fitting Procedure SIMPLEX in Progress");
    QVERIFY(form->progressDialog()->iterationText() != "0");
    QVERIFY(action(*form, "MenuFitting")->isEnabled());
    QVERIFY(!action(*form, "MenuCancel")->isEnabled());
    QVERIFY(!form->runUnderWay());
    QCOMPARE(form->model().SingleStep, 0);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    form->mdiArea()->subWindowList().first()->showMaximized();
    QTest::qWait(20);
    saveScreenshot(form.get(), "main_window_report");
    form->mdiArea()->subWindowList().first()->showNormal();

    // The speed bar's Single Step: the windows of the last run are closed first.
    OnModal<StartDialog> again(
        [](StartDialog* dlg) { QTest::mouseClick(dlg->okButton(), Qt::LeftButton); });
    action(*form, "SpeedSingleStep")->trigger();
    QCOMPARE(form->model().SingleStep, 1);
    QCOMPARE(captions(*form), afterRun);
  }

  // A file that cannot be read: the reader's message in front (the progress window, which stays
  // on top, hidden while it is up), no report window, and the input file in an editor window
  // for correction with the cursor on the line named, scrolled into view.
  void inputErrorOpensInputAtItsLine() {
    WorkFolder folder({"TEST.DAT"});
    folder.write("BAD.DAT", folder.read("TEST.DAT").replace("8.214 0 8.046", "8.214 0 8.O46"));
    MessageLog log;
    auto form = newMainWindow(folder.path());
    form->resize(640, 360);
    form->show();
    bool progressShownWithMessage = false;
    log.answer = [&](const ShownMessage&) {
      progressShownWithMessage = form->progressDialog()->isVisible();
      return MessageResult::Ok;
    };
    OnModal<StartDialog> start(chooseRun("Gradient", "BAD.DAT", "bad"));
    action(*form, "ComputeSingleStepItem")->trigger();
    // The reader has passed 20 line ends when it meets the word on line 21.
    QCOMPARE(log.texts(), QStringList{"The DATA file error at reading line >= 20"});
    QCOMPARE(log.messages.first().caption, "Input Experimental Data");
    QVERIFY(!progressShownWithMessage);
    QCOMPARE(captions(*form), QStringList{"BAD.DAT"});
    QVERIFY(!form->progressDialog()->isVisible());
    QVERIFY(action(*form, "ComputeSingleStepItem")->isEnabled());
    auto* editor = qobject_cast<EditorWindow*>(form->mdiArea()->currentSubWindow()->widget());
    QTRY_VERIFY(editor->editor()->verticalScrollBar()->value() > 0);
    QCOMPARE(editor->editor()->textCursor().blockNumber() + 1, 20);
    QVERIFY(editor->editor()->viewport()->rect().contains(editor->editor()->cursorRect()));
    QTextCursor next = editor->editor()->textCursor();
    next.movePosition(QTextCursor::NextBlock);
    QVERIFY(editor->editor()->viewport()->rect().contains(editor->editor()->cursorRect(next)));
  }

  // A Monte Carlo search interrupted during its run, through Cancel in the progress window or by
  // ending the program: the fit is asked to stop and the report of the values reached is
  // written. While it runs, the progress window is as wide as its caption in a bold title font
  // (with room for the title bar's icon) and a compute command arriving (the speed bar stays
  // usable) is ignored. Ending asks once, closes the window once the run is over and saves the
  // history.
  void runInterrupted_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("Cancel") << true;
    QTest::newRow("close") << false;
  }
  void runInterrupted() {
    QFETCH(bool, cancel);
    WorkFolder folder({"TEST.DAT"});
    MessageLog log;
    auto form = newMainWindow(folder.path());
    form->show();
    OnModal<StartDialog> start(chooseRun("Monte Carlo", "TEST.DAT", "mc"));
    bool checked = false;
    QTimer during;
    during.setSingleShot(true);
    connect(&during, &QTimer::timeout, [&] {
      QVERIFY(form->runUnderWay());
      ProgressDialog* progress = form->progressDialog();
      QVERIFY(progress->isVisible());
      QCOMPARE(progress->windowTitle(), "Fitting Procedure M-CARLO in Progress");
      QFont bold = QApplication::font();
      bold.setBold(true);
      QVERIFY(progress->width() >
              QFontMetrics(bold).horizontalAdvance(progress->windowTitle()) + 60);
      QVERIFY(!action(*form, "MenuFitting")->isEnabled());
      QVERIFY(action(*form, "MenuCancel")->isEnabled());
      action(*form, "SpeedFitting")->trigger();
      QCOMPARE(start.count, 1);
      if (cancel)
        QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
      else
        QVERIFY(!form->close());
      QVERIFY(!action(*form, "MenuCancel")->isEnabled());
      checked = true;
    });
    connect(form->startDialog(), &QDialog::accepted, &during, [&] { during.start(150); });
    action(*form, "MenuFitting")->trigger();
    QVERIFY(checked);
    QCOMPARE(start.count, 1);
    QCOMPARE(form->model().CancelRequested, 1);
    const int trials = firstTrialCount(folder.read("mc.OUT"));
    QVERIFY2(trials > 0 && trials < 4000, qPrintable(QString::number(trials)));
    if (cancel) {
      QVERIFY(log.messages.isEmpty());
      QCOMPARE(captions(*form).first(), "mc.OUT  for  TEST.DAT");
    } else {
      QTRY_VERIFY(!form->isVisible());
      QCOMPARE(log.texts(), QStringList{"End the program?"});
      QCOMPARE(folder.read("Tarvolin.INP"), QByteArray("TEST.DAT\r\nmc.OUT\r\n2\r\n"));
    }
  }

  // The active window's picture as a JPEG that decodes to the window's size; the name offered
  // is the output name with ".JPG"; an existing file is replaced only after Yes. Print.
  void saveAsImageAndPrint() {
    WorkFolder folder({"TEST.DAT"});
    MessageLog log;
    auto form = newMainWindow(folder.path());
    form->show();
    QVERIFY(!action(*form, "MenuSaveasImage")->isEnabled());
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.file("window.pdf"));
    QVERIFY(!form->printActiveChild(printer));  // nothing to print
    form->openFileInEditor(folder.file("TEST.DAT"));
    QVERIFY(action(*form, "MenuSaveasImage")->isEnabled());
    QString offered;
    const QString target = folder.file("picture.JPG");
    form->setFileDialogHook(
        [&](const QString& title, const QString& start, const QString&, bool save) {
          offered = title + "|" + QFileInfo(start).fileName() + "|" + (save ? "save" : "open");
          return target;
        });
    action(*form, "MenuSaveasImage")->trigger();
    QCOMPARE(offered, "Save Image|CURRENT.JPG|save");
    const QByteArray jpeg = folder.read("picture.JPG");
    QVERIFY(jpeg.startsWith("\xFF\xD8"));
    const QImage decoded = decodeJpeg(jpeg);
    QCOMPARE(decoded.size(), form->mdiArea()->activeSubWindow()->widget()->size());
    QVERIFY(log.messages.isEmpty());

    folder.write("picture.JPG", "keep");
    log.answer = [](const ShownMessage&) { return MessageResult::No; };
    action(*form, "MenuSaveasImage")->trigger();
    QCOMPARE(log.texts(), QStringList{"OK to overwrite " + target});
    QCOMPARE(folder.read("picture.JPG"), QByteArray("keep"));
    log.answer = [](const ShownMessage&) { return MessageResult::Cancel; };
    action(*form, "MenuSaveasImage")->trigger();
    QCOMPARE(folder.read("picture.JPG"), QByteArray("keep"));
    log.answer = nullptr;
    action(*form, "MenuSaveasImage")->trigger();
    QVERIFY(!decodeJpeg(folder.read("picture.JPG")).isNull());

    // Print of the active window's picture, to a PDF.
    QVERIFY(form->printActiveChild(printer));
    const QByteArray pdf = folder.read("window.pdf");
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(pdf.size() > 2000);  // holds the picture, not an empty page
  }

  // The Method items exclude each other; Cancel is off outside a run; CloseAll closes the
  // last window first; Next and Previous cycle through the windows.
  void menusWindowsAndLoadImage() {
    WorkFolder folder({"TEST.DAT", "METHOD7.DAT", "POT_TITRATION.DAT"});
    auto form = newMainWindow(folder.path());
    form->show();
    // The shortcuts of a desktop program; the editor's items show the main window's without
    // taking them, so that one key does not stand for two commands.
    for (const QStringList& keys : tableRows("main_window_shortcuts.txt"))
      QCOMPARE(action(*form, qPrintable(keys[0]))->shortcut(), QKeySequence(keys[1]));
    EditorWindow* closing = form->openFileInEditor(folder.file("TEST.DAT"));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    closing->editor()->setFocus();
    int opened = 0;
    form->setFileDialogHook([&](const QString&, const QString&, const QString&, bool) {
      ++opened;
      return QString();
    });
    QTest::keyClick(closing->editor(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(opened, 1);
    QTest::keyClick(closing->editor(), Qt::Key_W, Qt::ControlModifier);
    QTRY_VERIFY(form->mdiArea()->subWindowList().isEmpty());

    QCOMPARE(form->checkedMethod(), 1);
    form->checkMethod(9);  // no such method: Gradient
    QCOMPARE(form->checkedMethod(), 0);
    action(*form, "MenuMonteCarlo")->trigger();
    QCOMPARE(form->checkedMethod(), 2);
    QVERIFY(!action(*form, "MenuGradient")->isChecked());
    QVERIFY(!action(*form, "MenuCancel")->isEnabled());

    // A click on the speed bar beside its buttons starts an optimization: the start dialog.
    OnModal<StartDialog> start([](StartDialog* dlg) { dlg->reject(); });
    QToolBar* bar = form->speedBar();
    const QPoint empty(bar->width() - 5, bar->height() / 2);
    QVERIFY(!bar->actionAt(empty));
    QTest::mouseClick(bar, Qt::LeftButton, {}, empty);
    QCOMPARE(start.count, 1);
    QVERIFY(!form->runUnderWay());

    for (const char* name : {"TEST.DAT", "METHOD7.DAT", "POT_TITRATION.DAT"})
      form->openFileInEditor(folder.file(name));
    QCOMPARE(form->mdiArea()->activeSubWindow()->windowTitle(), "POT_TITRATION.DAT");
    action(*form, "SpeedNext")->trigger();
    QCOMPARE(form->mdiArea()->activeSubWindow()->windowTitle(), "TEST.DAT");
    action(*form, "SpeedPrevious")->trigger();
    QCOMPARE(form->mdiArea()->activeSubWindow()->windowTitle(), "POT_TITRATION.DAT");

    QStringList closed;
    for (QMdiSubWindow* sub : form->mdiArea()->subWindowList()) {
      connect(sub, &QObject::destroyed, [&closed, title = sub->windowTitle()] { closed << title; });
    }
    action(*form, "CloseAll")->trigger();
    QTRY_COMPARE(closed.size(), 3);
    QCOMPARE(closed, (QStringList{"POT_TITRATION.DAT", "METHOD7.DAT", "TEST.DAT"}));

    // The viewer starts only for an existing file whose extension reads .JPG and only when
    // "Imagist.exe" lies in the current folder; without it the picture opens in a window.
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(writeJpegFile(image, folder.file("shot.jpg"), 80));
    QVERIFY(writeJpegFile(image, folder.file("picture.jpeg"), 80));

    folder.write("Imagist.exe", "");
    QVERIFY(!viewerShouldStart(folder.file("missing.jpg"), folder.path()));
    QCOMPARE(viewerCommandLine("C:/a b/shot.jpg"), "Imagist.exe \"C:/a b/shot.jpg\" jpg");

    QStringList started;
    form->setProgramStarter([&](const QString& program, const QStringList& args) {
      started << QFileInfo(program).fileName() << args;
      return true;
    });
    form->loadImage(folder.file("picture.jpeg"));
    QVERIFY(started.isEmpty());
    form->loadImage(folder.file("shot.jpg"));
    QCOMPARE(started, (QStringList{"Imagist.exe", folder.file("shot.jpg"), "jpg"}));
    QVERIFY(form->mdiArea()->subWindowList().isEmpty());

    QFile::remove(folder.file("Imagist.exe"));
    form->loadImage(folder.file("shot.jpg"));
    QCOMPARE(captions(*form), QStringList{"shot.jpg"});

    // The editor's own File menu and a file dropped on it act on the main window.
    EditorWindow* editor = form->openFileInEditor(folder.file("TEST.DAT"));
    editor->findChild<QAction*>("fileNew")->trigger();
    emit editor->fileDropped(folder.file("METHOD7.DAT"));
    QCOMPARE(captions(*form), (QStringList{"shot.jpg", "TEST.DAT", "Untitled", "METHOD7.DAT"}));
  }

  // The start: "CURRENT.OUT" made when missing and left alone when present; the greeting
  // offered at the first mouse movement only, by the draw; the close confirmation.
  void startAndClose() {
    WorkFolder folder;
    MessageLog log;
    {
      auto form = newMainWindow(folder.path());
      QCOMPARE(folder.read("CURRENT.OUT"), QByteArray("Start output!\r\n"));
    }
    folder.write("CURRENT.OUT", "a report\r\n");
    auto form = std::make_unique<MainWindow>(folder.path());
    QCOMPARE(folder.read("CURRENT.OUT"), QByteArray("a report\r\n"));

    QList<double> draws{0.5, 0.7};
    form->setRandomSource([&] { return draws.isEmpty() ? 0.0 : draws.takeFirst(); });
    OnModal<StartUpDialog> greeting([](StartUpDialog* dlg) {
      QCOMPARE(dlg->windowTitle(), "Start Tarvolin");
      dlg->accept();
    });
    form->show();
    QTest::mouseMove(form->mdiArea()->viewport(), QPoint(50, 50));
    QTest::mouseMove(form->mdiArea()->viewport(), QPoint(60, 60));
    QTRY_COMPARE(greeting.count, 1);
    QVERIFY(draws.isEmpty());
    QTest::mouseMove(form->mdiArea()->viewport(), QPoint(80, 80));
    QTest::qWait(50);
    QCOMPARE(greeting.count, 1);
    QVERIFY(startUpDialogDrawn(0.89, 0.61));
    QVERIFY(!startUpDialogDrawn(0.9, 0.7));
    QVERIFY(!startUpDialogDrawn(0.1, 0.6));

    log.answer = [](const ShownMessage&) { return MessageResult::No; };
    QVERIFY(!form->close());
    QVERIFY(form->isVisible());
    QCOMPARE(log.messages.last().text, "End the program?");
    QCOMPARE(log.messages.last().buttons, MessageButtons::YesNo);
    log.answer = nullptr;
    QVERIFY(form->close());
  }

  // Help shows our guide with the session's work folder; About shows the memory read-outs.
  void helpAndAbout() {
    WorkFolder folder;
    auto form = newMainWindow(folder.path());
    form->show();
    action(*form, "HelpContentsItem")->trigger();
    auto* guide = form->findChild<UserGuideWindow*>();
    QVERIFY(guide && guide->isVisible());
    const QString text = guide->browser()->toPlainText();
    for (const QString& part :
         {QString("Preparing a DAT input file"), QString("Reading the report"),
          QString("six searches at most"), QDir::toNativeSeparators(folder.path())})
      QVERIFY2(text.contains(part), qPrintable(part));

    OnModal<AboutDialog> about([](AboutDialog* dlg) {
      QCOMPARE(dlg->windowTitle(), "About Tarvolin");
      const QString memory = dlg->findChild<QLabel*>("PhysicalMemory")->text();
      QVERIFY2(QRegularExpression("^\\d{1,3}(,\\d{3})* KB$").match(memory).hasMatch(),
               qPrintable(memory));
      const QString load = dlg->findChild<QLabel*>("MemoryLoad")->text();
      QVERIFY2(QRegularExpression("^\\d{1,3} %$").match(load).hasMatch(), qPrintable(load));
      dlg->accept();
    });
    action(*form, "HelpAboutItem")->trigger();
    QCOMPARE(about.count, 1);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
