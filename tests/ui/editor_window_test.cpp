// The text editor window driven on the offscreen platform: opening and captions, the status
// read-outs, saving with CR LF line ends and the save-as rules, the plot files that follow a
// report saved under a new name, a failed save, find, the edit commands and their enabled states,
// printing, the close question and dropped files.

#include "ui/editor/editor_window.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <QUrl>
#include <deque>
#include <map>

#include "model/model.h"
#include "run/run_driver.h"
#include "tests/ui/ui_test_support.h"
#include "ui/editor/editor_dialogs.h"
#include "ui/editor/find_dialog.h"
#include "ui/editor/text_print.h"
#include "ui/results/report_plot_files.h"

using namespace tarvolin;
using namespace tarvolin::ui;

namespace {

// The main window as the editor sees it: records what the editor tells it.
class FakeHost : public EditorHost {
 public:
  void setStatusText(int panel, const QString& text) override { status[panel] = text; }
  void setStatusFont(const QFont& font) override { statusFont = font; }
  void showHint(const QString& hint) override { hints << hint; }
  void setCurrentFileName(const QString& name) override { currentFile = name; }
  bool openingRunResults() const override { return opening; }
  QString runInputName() const override { return runInput; }
  QString workFolder() const override { return folder; }

  std::map<int, QString> status;
  QFont statusFont;
  QStringList hints;
  QString currentFile;
  bool opening = false;
  QString runInput;
  QString folder;
};

// The scripted dialogs' record: questions unanswered give Cancel; each save dialog is kept with
// its start, filters and filter; Print writes a PDF to `pdfPath` (empty: the print dialog is
// cancelled).
struct Script : testing::DialogScript<Answer, SaveChoice> {
  struct SaveRequest {
    QString start;
    QStringList filters;
    int filterIndex;
  };
  std::vector<SaveRequest> saveRequests;
  QString pdfPath;
  QString printedTitle;
};

class ScriptedDialogs : public EditorDialogs {
 public:
  explicit ScriptedDialogs(Script& script) : s_(script) {}
  void warning(QWidget*, const QString& caption, const QString& text) override {
    s_.messages.push_back({MessageKind::Warning, caption, text});
  }
  void information(QWidget*, const QString& caption, const QString& text) override {
    s_.messages.push_back({MessageKind::Information, caption, text});
  }
  void error(QWidget*, const QString& caption, const QString& text) override {
    s_.messages.push_back({MessageKind::Error, caption, text});
  }
  Answer askYesNoCancel(QWidget*, const QString&, const QString& text) override {
    return s_.ask(text, Answer::Cancel);
  }
  std::optional<SaveChoice> saveFileName(QWidget*, const QString& start, const QStringList& filters,
                                         int filterIndex) override {
    s_.saveRequests.push_back({start, filters, filterIndex});
    return s_.file(start);
  }
  std::optional<QFont> chooseFont(QWidget*, const QFont&) override { return std::nullopt; }
  void printerSetup(QWidget*, QPrinter&) override {}
  bool print(QWidget*, QPrinter& printer) override {
    // What a person does in the print dialog: choose a PDF file as the printer.
    s_.printedTitle = printer.docName();
    if (s_.pdfPath.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(s_.pdfPath);
    return true;
  }

 private:
  Script& s_;
};

using testing::readBytes;
using testing::writeBytes;

void putCursor(QTextEdit* editor, int line, int column) {
  QTextCursor cursor(editor->document()->findBlockByNumber(line - 1));
  cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column - 1);
  editor->setTextCursor(cursor);
}

}  // namespace

class EditorWindowTest : public QObject {
  Q_OBJECT

 private:
  QString path(const QString& name) const { return QDir(dir_->path()).filePath(name); }
  EditorWindow* newForm() {
    forms_.push_back(
        std::make_unique<EditorWindow>(&host_, std::make_unique<ScriptedDialogs>(script_)));
    return forms_.back().get();
  }
  EditorWindow* openForm(const QString& name, const QByteArray& content) {
    writeBytes(path(name), content);
    EditorWindow* form = newForm();
    if (!form->openFile(path(name))) return nullptr;
    return form;
  }

  // A real run of a two-block titration, so that the report has every kind of plot file.
  std::unique_ptr<QTemporaryDir> runDir_;
  std::unique_ptr<QTemporaryDir> dir_;
  FakeHost host_;
  Script script_;
  std::vector<std::unique_ptr<EditorWindow>> forms_;

 private slots:
  void initTestCase() {
    runDir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(runDir_->isValid());
    const QString run = runDir_->path();
    QVERIFY(QFile::copy(QStringLiteral(TARVOLIN_SOURCE_DIR "/examples/TWO_BLOCKS.DAT"),
                        run + "/TWO_BLOCKS.DAT"));
    QVERIFY(writeBytes(run + "/IN.IN", "TWO_BLOCKS.DAT\r\nrun1.OUT\r\n"));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(run));
    auto model = std::make_unique<Model>();
    model->SingleStep = 1;
    GuiPlatform platform;
    testing::MessageLog log;
    const RunStatus status = runWithMethod(model->FittingMethod, *model, platform);
    QDir::setCurrent(previous);
    QCOMPARE(status, RunStatus::Completed);
  }

  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    host_ = FakeHost{};
    host_.folder = dir_->path();
    script_ = Script{};
  }

  void cleanup() {
    // Unsaved texts are dropped without asking when a test ends.
    for (auto& form : forms_) form->editor()->document()->setModified(false);
    forms_.clear();
    dir_.reset();
  }

  void openingChecksTheFileAndSetsTheCaption() {
    EditorWindow* form = newForm();
    QCOMPARE(form->windowTitle(), "Untitled");
    QVERIFY(QDir(dir_->path()).mkdir("folder.DAT"));
    for (const char* name : {"missing.DAT", "folder.DAT"}) {
      QVERIFY(!form->openFile(path(name)));
      QCOMPARE(script_.messages.back().kind, MessageKind::Warning);
      QCOMPARE(script_.messages.back().caption, "Open File");
      QCOMPARE(script_.messages.back().text, "Cannot open file '" + path(name) + "'");
      QCOMPARE(form->fileName(), "Untitled");
      QVERIFY(form->editor()->document()->isEmpty());
    }

    // Right after a run the report names the run's input; an input file opened for correction,
    // and a report opened later with File, Open, show their names alone.
    host_.runInput = "/data/TEST.DAT";
    for (const QStringList& c : testing::tableRows("editor_captions.txt")) {
      host_.opening = c[1] == "run";
      EditorWindow* opened = openForm(c[0], "text\r\n");
      QVERIFY(opened);
      QCOMPARE(opened->windowTitle(), c[2]);
      QCOMPARE(opened->fileName(), path(c[0]));
      QCOMPARE(host_.currentFile, path(c[0]));
      QVERIFY(!opened->isModified());
    }
  }

  void savingWritesCrLfAndKeepsTheFileAsRead() {
    // Opened and saved unchanged: CR LF files come back byte for byte, other line ends as CR LF,
    // and 8-bit text (a degree sign, a no-break space, a last byte that is no UTF-8) as it was.
    // An empty `saved` stands for the content itself.
    const struct {
      const char* name;
      QByteArray content;
      QByteArray saved;
    } cases[] = {
        {"crlf.DAT", "1\r\nCu(II)\r\n\r\n0.01 0.02\r\n", {}},
        {"nofinal.DAT", "a\r\nb", {}},
        {"lf.DAT", "a\nb\rc\n", "a\r\nb\r\nc\r\n"},
        {"latin1.DAT", "25 \xb0\x43\r\n0.1 M\xa0KNO3\r\ncaf\xe9", {}},
        {"utf8.DAT", "\xef\xbb\xbf\x32\x35 \xc2\xb0\x43\r\n", {}},
    };
    for (const auto& c : cases) {
      EditorWindow* form = openForm(c.name, c.content);
      QVERIFY(form);
      QVERIFY(form->save());
      QCOMPARE(readBytes(path(c.name)), c.saved.isEmpty() ? c.content : c.saved);
    }
  }

  void saveAsAppliesTheFilterExtensionAndAsksBeforeOverwriting() {
    // A new window asks for a name first; "Output file" with res.txt typed saves res.OUT.
    EditorWindow* form = newForm();
    form->editor()->textCursor().insertText("result\n");
    script_.files.push_back(SaveChoice{path("res.txt"), 2});
    QVERIFY(form->save());
    QCOMPARE(script_.saveRequests[0].start, path("Untitled"));
    QCOMPARE(script_.saveRequests[0].filterIndex, 0);
    QCOMPARE(script_.saveRequests[0].filters,
             QStringList({"Input file (*.dat)", "Input file (*.sqd)", "Output file (*.out)",
                          "All files (*)"}));
    QVERIFY(!QFile::exists(path("res.txt")));
    QCOMPARE(readBytes(path("res.OUT")), QByteArray("result\r\n"));
    QCOMPARE(form->windowTitle(), "res.OUT");
    QCOMPARE(host_.currentFile, "res.OUT");
    QVERIFY(!form->isModified());

    for (const QStringList& r : testing::tableRows("editor_filter_extensions.txt"))
      QCOMPARE(applyFilterExtension(r[0], r[1].toInt()), r[2]);

    // An existing file is overwritten only after Yes. Until then the window keeps naming its own
    // file, so that a later Save cannot hit the other one.
    QVERIFY(writeBytes(path("old.OUT"), "keep me\r\n"));
    form->editor()->textCursor().insertText("edited ");
    for (Answer answer : {Answer::No, Answer::Cancel, Answer::Yes}) {
      script_.files.push_back(SaveChoice{path("old"), 2});
      script_.answers.push_back(answer);
      QCOMPARE(form->saveAs(), answer == Answer::Yes);
      QCOMPARE(script_.questions.last(), "OK to overwrite " + path("old.OUT"));
      if (answer == Answer::Yes) break;
      QCOMPARE(readBytes(path("old.OUT")), QByteArray("keep me\r\n"));
      QCOMPARE(form->fileName(), path("res.OUT"));
      QVERIFY(form->isModified());
    }
    QCOMPARE(readBytes(path("old.OUT")), QByteArray("result\r\nedited "));
    QCOMPARE(form->fileName(), path("old.OUT"));
  }

  void savingAReportUnderANewNameCopiesEveryPlotFile() {
    // The run left the report with PFP, TTC and RAC of both blocks and ECP, GAR, REG and BCP of
    // each block.
    for (const QString& name : QDir(runDir_->path()).entryList(QDir::Files)) {
      QVERIFY(QFile::copy(runDir_->path() + "/" + name, path(name)));
    }
    const QStringList plots = existingReportPlotFiles(path("run1.OUT"));
    QCOMPARE(plots.size(), 3 + 2 * 4);
    for (const char* name : {"run1.PFP", "run1.TTC", "run1.RAC", "run11.ECP", "run12.GAR",
                             "run12.REG", "run1BC1.BCP", "run1BC2.BCP"}) {
      QVERIFY2(plots.contains(path(name)), name);
    }
    QVERIFY(writeBytes(path("test.PFP"), "stale\r\n"));  // replaced by the copy
    // Left by an earlier run of three blocks into the same name: not the report's own.
    QVERIFY(writeBytes(path("run13.ECP"), "1\r\n"));
    QVERIFY(writeBytes(path("run1S2_1.GAR"), "1\r\n"));

    EditorWindow* form = newForm();
    QVERIFY(form->openFile(path("run1.OUT")));
    script_.files.push_back(SaveChoice{path("test.OUT"), 2});
    QVERIFY(form->saveAs());
    QCOMPARE(script_.saveRequests.back().filterIndex, 2);  // a report offers the report filter
    const QStringList copies = existingReportPlotFiles(path("test.OUT"));
    QCOMPARE(copies, reportPlotFileNames(path("test.OUT"), {2}));
    QVERIFY(!QFile::exists(path("test3.ECP")) && !QFile::exists(path("testS2_1.GAR")));
    for (int i = 0; i < plots.size(); ++i) {
      QVERIFY2(readBytes(copies[i]) == readBytes(plots[i]), qPrintable(copies[i]));
    }
    QVERIFY(script_.messages.empty());

    // Saved once more under a name of the same base: the plot files are in place already and
    // must not be lost by copying them onto themselves.
    const QByteArray pfp = readBytes(path("test.PFP"));
    script_.files.push_back(SaveChoice{path("test.txt"), 3});
    QVERIFY(form->saveAs());
    QVERIFY(!pfp.isEmpty());
    QCOMPARE(readBytes(path("test.PFP")), pfp);

    // A second system's files carry its number.
    QCOMPARE(reportPlotFile("/w/res.old.out", PlotFileKind::BlockCurve, 12, 2),
             "/w/res.oldS2_12.ECP");
    QCOMPARE(reportPlotFile("/w/res.OUT", PlotFileKind::BlockPercentages, 1, 2),
             "/w/resS2_BC1.BCP");
  }

  // The status panels read the cursor's line and column and "Modified" until a save succeeds. A
  // save that fails is reported and keeps the text modified.
  void statusAndAFailedSave() {
    EditorWindow* form = openForm("in.DAT", "first line\r\nsecond line\r\n");
    QVERIFY(form);
    form->show();
    QCOMPARE(host_.status[1], "Line:   1   Col:   1");
    QCOMPARE(host_.statusFont.pointSize(), 8);
    putCursor(form->editor(), 2, 3);
    QCOMPARE(host_.status[1], "Line:   2   Col:   3");
    QCOMPARE(host_.status[2], QString());
    form->editor()->textCursor().insertText("X");
    QCOMPARE(host_.status[2], "Modified");
    QVERIFY(form->save());
    QCOMPARE(host_.status[2], QString());
    QCOMPARE(readBytes(path("in.DAT")), QByteArray("first line\r\nseXcond line\r\n"));

    // Save as into a folder that does not exist (a read-only folder would not do: root writes
    // there all the same).
    form->editor()->textCursor().insertText("changed ");
    script_.files.push_back(SaveChoice{path("no such folder/out.DAT"), 0});
    QVERIFY(!form->saveAs());
    QCOMPARE(script_.messages.size(), std::size_t{1});
    QCOMPARE(script_.messages[0].kind, MessageKind::Error);
    QCOMPARE(script_.messages[0].caption, "Save File");
    QVERIFY(
        script_.messages[0].text.startsWith("Cannot save file '" + path("no such folder/out.DAT")));
    QCOMPARE(form->fileName(), path("in.DAT"));
    QVERIFY(form->isModified());
    QCOMPARE(host_.status[2], "Modified");

    // The file's own name now belongs to a folder: Save fails and says so.
    QVERIFY(QFile::remove(path("in.DAT")));
    QVERIFY(QDir(dir_->path()).mkdir("in.DAT"));
    QVERIFY(!form->save());
    QCOMPARE(script_.messages.size(), std::size_t{2});
    QVERIFY(form->isModified());

    // Closing asks; Yes with a save that fails keeps the window and its text.
    script_.answers.push_back(Answer::Yes);
    QVERIFY(!form->close());
    QVERIFY(form->isVisible());
  }

  void findHonoursMatchCaseAndWholeWordAndSearchesDownwards() {
    EditorWindow* form = openForm("cu.DAT", "CuL cul Cu cu\r\nxcu cu\r\n");
    QVERIFY(form);
    form->show();
    QTextEdit* editor = form->editor();
    auto selection = [editor] {
      return std::make_pair(editor->textCursor().selectionStart(),
                            editor->textCursor().selectionEnd());
    };

    // Through the dialog, as a user does it; each Find Next starts at the end of the selection.
    form->findChild<QAction*>("editFind")->trigger();
    FindDialog* dialog = form->findDialog();
    QVERIFY(dialog->isVisible());
    dialog->textField()->setText("cu");
    const struct {
      bool matchCase;
      bool wholeWord;
      std::pair<int, int> found;
    } steps[] = {
        {false, false, {0, 2}},  // "Cu" of CuL
        {true, false, {4, 6}},   // "cu" of cul
        {true, true, {11, 13}},  // the word cu, not Cu
        {true, true, {18, 20}},  // line 2: cu, not xcu
        {true, true, {18, 20}},  // nothing below: the selection stays
    };
    for (const auto& step : steps) {
      dialog->matchCaseBox()->setChecked(step.matchCase);
      dialog->wholeWordBox()->setChecked(step.wholeWord);
      QTest::mouseClick(dialog->findNextButton(), Qt::LeftButton);
      QCOMPARE(selection(), step.found);
    }
    // Only the last search found nothing, and said so; F3 repeats the search.
    QCOMPARE(script_.messages.size(), std::size_t{1});
    QCOMPARE(script_.messages[0].kind, MessageKind::Information);
    QCOMPARE(script_.messages[0].text, "Cannot find \"cu\"");
    putCursor(editor, 1, 1);
    form->findChild<QAction*>("editFindNext")->trigger();
    QCOMPARE(selection(), std::make_pair(11, 13));

    putCursor(editor, 1, 9);  // before "Cu cu"
    QVERIFY(form->findNext("CU", false, true));
    QCOMPARE(selection(), std::make_pair(8, 10));
    // The match stays visible while the dialog has the focus.
    QCOMPARE(editor->palette().color(QPalette::Inactive, QPalette::Highlight),
             editor->palette().color(QPalette::Active, QPalette::Highlight));
  }

  void editCommandsFollowSelectionAndClipboardAndPrint() {
    EditorWindow* form = openForm("e.DAT", "alpha beta\r\n");
    QVERIFY(form);
    auto* cut = form->findChild<QAction*>("editCut");
    auto* copy = form->findChild<QAction*>("editCopy");
    auto* paste = form->findChild<QAction*>("editPaste");
    auto* del = form->findChild<QAction*>("editDelete");
    QApplication::clipboard()->clear();
    emit form->popupMenu()->aboutToShow();
    QVERIFY(!cut->isEnabled() && !copy->isEnabled() && !del->isEnabled() && !paste->isEnabled());

    // A selection made after the menu was last opened: the commands and their shortcuts act.
    QTextCursor cursor = form->editor()->textCursor();
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    form->editor()->setTextCursor(cursor);
    QVERIFY(cut->isEnabled() && copy->isEnabled() && del->isEnabled());
    copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), "alpha");
    QVERIFY(paste->isEnabled());
    del->trigger();
    QCOMPARE(form->editor()->toPlainText(), " beta\n");
    QVERIFY(!cut->isEnabled() && !copy->isEnabled() && !del->isEnabled());

    // Print's hint reaches the main window's hint line from the editor's own menu bar.
    form->findChild<QAction*>("filePrint")->showStatusText(form->menuBar());
    QVERIFY(host_.hints.contains("Print current file"));

    // Print writes the text with the file name as the title.
    script_.pdfPath = path("p.pdf");
    form->findChild<QAction*>("filePrint")->trigger();
    QCOMPARE(script_.printedTitle, path("e.DAT"));
    QVERIFY(readBytes(path("p.pdf")).startsWith("%PDF"));

    // A report's species lines run to 170 characters: the page turns to landscape and the font
    // shrinks until the longest line fits; the pages are numbered.
    QVERIFY(QFile::copy(runDir_->path() + "/run1.OUT", path("run1.OUT")));
    EditorWindow* report = newForm();
    QVERIFY(report->openFile(path("run1.OUT")));
    report->resize(900, 600);
    report->show();
    testing::saveScreenshot(report, "edit_form_report");
    script_.pdfPath = path("report.pdf");
    report->findChild<QAction*>("filePrint")->trigger();
    QPrinter& printer = report->printer();
    const QStringList lines = report->editor()->toPlainText().split('\n');
    const TextPrintLayout layout =
        textPrintLayout(lines, printer, report->editor()->document()->defaultFont());
    QCOMPARE(layout.orientation, QPageLayout::Landscape);
    qreal widest = 0;
    for (const QString& line : lines)
      widest = std::max(widest, QFontMetricsF(layout.font, &printer).horizontalAdvance(line));
    QVERIFY(widest > 0.9 * printableWidth(printer, layout.orientation));
    QVERIFY(widest <= printableWidth(printer, layout.orientation));
    const QByteArray pdf = readBytes(path("report.pdf"));
    QVERIFY(layout.pages > 1);
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
             layout.pages);
  }

  void closingAModifiedWindowAsksToSave() {
    QMdiArea area;
    area.resize(600, 400);
    area.show();
    QVERIFY(writeBytes(path("m.DAT"), "1\r\n"));
    auto framed = [&](const QString& file) {
      EditorWindow* form = createEditorWindow(&host_);
      form->setDialogs(std::make_unique<ScriptedDialogs>(script_));
      if (!file.isEmpty()) form->openFile(file);
      QMdiSubWindow* sub = area.addSubWindow(form);
      sub->setAttribute(Qt::WA_DeleteOnClose);
      sub->show();
      form->editor()->textCursor().insertText("2");
      return std::make_pair(form, QPointer<QMdiSubWindow>(sub));
    };

    auto [form, sub] = framed(path("m.DAT"));
    QCOMPARE(sub->windowTitle(), "m.DAT");
    script_.answers = {Answer::Cancel};
    QVERIFY(!sub->close());
    QCOMPARE(script_.questions.last(), "Save changes to " + path("m.DAT") + "?");
    QVERIFY(form->isVisible());

    script_.answers = {Answer::Yes};
    form->findChild<QAction*>("fileClose")->trigger();
    QTRY_VERIFY(sub.isNull());
    QCOMPARE(readBytes(path("m.DAT")), QByteArray("21\r\n"));

    auto [other, third] = framed(path("m.DAT"));
    script_.answers = {Answer::No};
    QVERIFY(third->close());
    QTRY_VERIFY(third.isNull());
    QCOMPARE(readBytes(path("m.DAT")), QByteArray("21\r\n"));

    // An untitled window whose Save as is cancelled stays open.
    auto [untitled, fourth] = framed(QString());
    script_.answers = {Answer::Yes};
    QVERIFY(!fourth->close());
    QCOMPARE(script_.questions.last(), "Save changes to Untitled?");
    untitled->editor()->document()->setModified(false);
    QVERIFY(fourth->close());
  }

  void aDroppedFileOpensInANewEditor() {
    EditorWindow* form = openForm("d.DAT", "text\r\n");
    QVERIFY(form);
    form->show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path("dropped.SQD"))});
    data.setText(path("dropped.SQD"));  // file managers send the name as text as well
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->editor()->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QSignalSpy opened(form, &EditorWindow::fileDropped);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->editor()->viewport(), &drop);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().first().toString(), path("dropped.SQD"));
    QCOMPARE(form->editor()->toPlainText(), "text\n");  // not pasted
  }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
