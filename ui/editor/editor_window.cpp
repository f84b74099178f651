#include "ui/editor/editor_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QSaveFile>
#include <QStatusTipEvent>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

#include "base/number_format.h"
#include "ui/editor/find_dialog.h"
#include "ui/editor/text_print.h"
#include "ui/results/report_plot_files.h"

namespace tarvolin::ui {
namespace {

// Caption of the questions that name no caption of their own.
const QString kQuestionCaption = QStringLiteral("Tarvolin");
const QString kModified = QStringLiteral("Modified");

// Local files among dropped data.
QStringList droppedFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  return files;
}

// The text control. Files dropped on it open in editor windows of their own instead of being
// pasted as text, and its pop-up menu is the window's.
class EditorText : public QTextEdit {
 public:
  explicit EditorText(QWidget* parent) : QTextEdit(parent) {}

  std::function<void(const QStringList&)> onFilesDropped;
  std::function<void(const QPoint&)> onContextMenu;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (!droppedFiles(event->mimeData()).isEmpty()) {
      event->acceptProposedAction();
      return;
    }
    QTextEdit::dragEnterEvent(event);
  }

  void dragMoveEvent(QDragMoveEvent* event) override {
    if (!droppedFiles(event->mimeData()).isEmpty()) {
      event->acceptProposedAction();
      return;
    }
    QTextEdit::dragMoveEvent(event);
  }

  void dropEvent(QDropEvent* event) override {
    const QStringList files = droppedFiles(event->mimeData());
    if (!files.isEmpty() && onFilesDropped) {
      event->acceptProposedAction();
      onFilesDropped(files);
      return;
    }
    QTextEdit::dropEvent(event);
  }

  void contextMenuEvent(QContextMenuEvent* event) override {
    if (onContextMenu) {
      onContextMenu(event->globalPos());
      event->accept();
      return;
    }
    QTextEdit::contextMenuEvent(event);
  }
};

bool isReportName(const QString& path) {
  return QFileInfo(path).suffix().compare(QLatin1String("OUT"), Qt::CaseInsensitive) == 0;
}

QString nameWithoutFolder(const QString& path) { return QFileInfo(path).fileName(); }

}  // namespace

QString withCrLf(const QString& text) {
  QString out;
  out.reserve(text.size() + text.size() / 32 + 2);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\r')) {
      out += QLatin1String("\r\n");
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
    } else if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator ||
               c == QChar::LineSeparator) {
      out += QLatin1String("\r\n");
    } else {
      out += c;
    }
  }
  return out;
}

QStringList editorSaveFilters() {
  return {QStringLiteral("Input file (*.dat)"), QStringLiteral("Input file (*.sqd)"),
          QStringLiteral("Output file (*.out)"), QStringLiteral("All files (*)")};
}

int startingFilter(const QString& path) {
  const QString extension = QFileInfo(path).suffix().toUpper();
  if (extension == QLatin1String("SQD")) return 1;
  if (extension == QLatin1String("OUT")) return 2;
  return 0;
}

QString applyFilterExtension(const QString& path, int filterIndex) {
  static const char* const kExtensions[] = {"DAT", "SQD", "OUT"};
  if (filterIndex < 0 || filterIndex > 2) return path;
  const QString extension = QLatin1String(kExtensions[filterIndex]);
  const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  if (dot > nameStart) {
    if (path.mid(dot + 1).compare(extension, Qt::CaseInsensitive) == 0) return path;
    return path.left(dot + 1) + extension;
  }
  return path + QLatin1Char('.') + extension;
}

EditorWindow::EditorWindow(EditorHost* host, std::unique_ptr<EditorDialogs> dialogs,
                           QWidget* parent)
    : QWidget(parent), host_(host), dialogs_(std::move(dialogs)) {
  if (!dialogs_) dialogs_ = makeQtEditorDialogs();
  setWindowTitle(kUntitled);
  setAcceptDrops(true);

  auto* text = new EditorText(this);
  text->onFilesDropped = [this](const QStringList& files) { openDroppedFiles(files); };
  text->onContextMenu = [this](const QPoint& at) {
    updateEditCommands();
    popup_->popup(at);
  };
  editor_ = text;
  editor_->setAcceptRichText(false);
  editor_->setLineWrapMode(QTextEdit::NoWrap);
  editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  editor_->setAcceptDrops(true);
  // A match found with the find dialog stays visible while the dialog has the focus.
  QPalette palette = editor_->palette();
  palette.setColor(QPalette::Text, Qt::black);
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  editor_->setPalette(palette);
  setEditorFont();

  menuBar_ = new QMenuBar(this);
  menuBar_->setNativeMenuBar(false);
  createMenus();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar_);
  layout->addWidget(editor_);
  setFocusProxy(editor_);

  connect(editor_, &QTextEdit::cursorPositionChanged, this, &EditorWindow::updateStatus);
  connect(editor_, &QTextEdit::selectionChanged, this, &EditorWindow::updateStatus);
  connect(editor_->document(), &QTextDocument::modificationChanged, this, [this](bool modified) {
    if (host_) host_->setStatusText(2, modified ? kModified : QString());
  });
}

EditorWindow::~EditorWindow() {
  // The control goes after this object; nothing it signals on its way out may reach here.
  editor_->document()->disconnect(this);
  editor_->disconnect(this);
  QApplication::clipboard()->disconnect(this);
}

EditorWindow* createEditorWindow(EditorHost* host, QWidget* parent) {
  return new EditorWindow(host, makeEditorDialogs(), parent);
}

void EditorWindow::setDialogs(std::unique_ptr<EditorDialogs> dialogs) {
  if (dialogs) dialogs_ = std::move(dialogs);
}

QAction* EditorWindow::addCommand(QMenu* menu, const QString& name, const QString& caption,
                                  const QKeySequence& shortcut) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  if (!shortcut.isEmpty()) {
    // Each editor window has its own commands: a shortcut acts on the window that has the
    // focus, not on every editor inside the main window.
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
  }
  return action;
}

void EditorWindow::createMenus() {
  QMenu* file = menuBar_->addMenu(tr("&File"));
  connect(addCommand(file, "fileNew", tr("&New")), &QAction::triggered, this, [this] {
    emit newRequested();
    if (host_) host_->setStatusText(2, QString());
  });
  QAction* open = addCommand(file, "fileOpen", tr("&Open..."));
  showMainWindowShortcut(open, QKeySequence::Open);
  connect(open, &QAction::triggered, this, &EditorWindow::openRequested);
  QAction* close = addCommand(file, "fileClose", tr("&Close"));
  showMainWindowShortcut(close, QKeySequence(tr("Ctrl+W")));
  connect(close, &QAction::triggered, this, &EditorWindow::closeWindow);
  connect(addCommand(file, "fileCloseAll", tr("C&lose All")), &QAction::triggered, this,
          &EditorWindow::closeAllRequested);
  file->addSeparator();
  connect(addCommand(file, "fileSave", tr("&Save"), QKeySequence::Save), &QAction::triggered, this,
          &EditorWindow::save);
  connect(addCommand(file, "fileSaveAs", tr("Save &as...")), &QAction::triggered, this,
          &EditorWindow::saveAs);
  file->addSeparator();
  QAction* printItem = addCommand(file, "filePrint", tr("&Print"));
  showMainWindowShortcut(printItem, QKeySequence::Print);
  printItem->setStatusTip(tr("Print current file"));
  connect(printItem, &QAction::triggered, this, &EditorWindow::print);
  connect(addCommand(file, "filePrinterSetup", tr("Prin&ter setup...")), &QAction::triggered, this,
          &EditorWindow::printerSetup);
  file->addSeparator();
  QAction* exit = addCommand(file, "fileExit", tr("E&xit"));
  showMainWindowShortcut(exit, QKeySequence(tr("Ctrl+Q")));
  connect(exit, &QAction::triggered, this, &EditorWindow::exitRequested);

  editMenu_ = menuBar_->addMenu(tr("&Edit"));
  QAction* undo = addCommand(editMenu_, "editUndo", tr("&Undo"), QKeySequence(tr("Ctrl+Z")));
  editMenu_->addSeparator();
  cut_ = addCommand(editMenu_, "editCut", tr("Cu&t"), QKeySequence(tr("Ctrl+X")));
  copy_ = addCommand(editMenu_, "editCopy", tr("&Copy"), QKeySequence(tr("Ctrl+C")));
  paste_ = addCommand(editMenu_, "editPaste", tr("&Paste"), QKeySequence(tr("Ctrl+V")));
  delete_ = addCommand(editMenu_, "editDelete", tr("De&lete"), QKeySequence(tr("Ctrl+D")));
  editMenu_->addSeparator();
  QAction* selectAll =
      addCommand(editMenu_, "editSelectAll", tr("Select &all"), QKeySequence(tr("Ctrl+A")));
  editMenu_->addSeparator();
  QAction* find = addCommand(editMenu_, "editFind", tr("&Find..."), QKeySequence(tr("Ctrl+F")));
  QAction* findNext =
      addCommand(editMenu_, "editFindNext", tr("Find &Next"), QKeySequence(Qt::Key_F3));
  connect(editMenu_, &QMenu::aboutToShow, this, &EditorWindow::updateEditCommands);
  // Kept current between menu openings too, so that Ctrl+D acts on a selection made since.
  connect(editor_, &QTextEdit::selectionChanged, this, &EditorWindow::updateEditCommands);
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
          &EditorWindow::updateEditCommands);

  connect(undo, &QAction::triggered, this, [this] {
    if (editor_->document()->isUndoAvailable()) editor_->undo();
  });
  connect(cut_, &QAction::triggered, editor_, &QTextEdit::cut);
  connect(copy_, &QAction::triggered, editor_, &QTextEdit::copy);
  connect(paste_, &QAction::triggered, editor_, &QTextEdit::paste);
  connect(delete_, &QAction::triggered, this, [this] {
    QTextCursor cursor = editor_->textCursor();
    cursor.removeSelectedText();
    editor_->setTextCursor(cursor);
  });
  connect(selectAll, &QAction::triggered, editor_, &QTextEdit::selectAll);
  connect(find, &QAction::triggered, this, &EditorWindow::showFindDialog);
  // Find Next repeats the last search, or asks for one when there was none.
  connect(findNext, &QAction::triggered, this, [this] {
    FindDialog* dialog = findDialog();
    if (dialog->text().isEmpty())
      showFindDialog();
    else
      findNextOrSay(dialog->text(), dialog->matchCase(), dialog->wholeWord());
  });

  QMenu* character = menuBar_->addMenu(tr("&Character"));
  auto* alignment = new QActionGroup(this);
  alignment->setExclusive(true);
  const struct {
    const char* name;
    QString caption;
    Qt::Alignment align;
  } alignments[] = {{"characterLeft", tr("&Left"), Qt::AlignLeft | Qt::AlignAbsolute},
                    {"characterRight", tr("&Right"), Qt::AlignRight | Qt::AlignAbsolute},
                    {"characterCenter", tr("&Center"), Qt::AlignHCenter}};
  for (const auto& a : alignments) {
    QAction* item = addCommand(character, a.name, a.caption);
    item->setCheckable(true);
    item->setChecked(a.align.testFlag(Qt::AlignLeft));
    alignment->addAction(item);
    const Qt::Alignment align = a.align;
    connect(item, &QAction::triggered, this, [this, align] { editor_->setAlignment(align); });
  }
  character->addSeparator();
  wordWrap_ = addCommand(character, "characterWordWrap", tr("&Word wrap"));
  wordWrap_->setCheckable(true);
  connect(wordWrap_, &QAction::toggled, this, &EditorWindow::setWordWrap);
  character->addSeparator();
  connect(addCommand(character, "characterFont", tr("&Font...")), &QAction::triggered, this,
          &EditorWindow::chooseFont);

  popup_ = new QMenu(this);
  popup_->setObjectName("editorPopup");
  popup_->addAction(undo);
  popup_->addSeparator();
  popup_->addAction(cut_);
  popup_->addAction(copy_);
  popup_->addAction(paste_);
  popup_->addSeparator();
  popup_->addAction(find);
  connect(popup_, &QMenu::aboutToShow, this, &EditorWindow::updateEditCommands);
}

// Open, Close, Print and Exit are the main window's commands, whose shortcuts act in every
// window inside it (two shortcuts of one key would cancel each other out): the editor's items
// show them without taking them.
void EditorWindow::showMainWindowShortcut(QAction* action, const QKeySequence& shortcut) {
  action->setShortcut(shortcut);
  action->setShortcutContext(Qt::WidgetShortcut);
}

void EditorWindow::setEditorFont() {
  QFont font(QStringLiteral("Courier New"), 10);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setBold(false);
  font.setItalic(false);
  editor_->setFont(font);
  editor_->document()->setDefaultFont(font);
  editor_->setCurrentFont(font);
  editor_->setTextColor(Qt::black);
}

bool EditorWindow::openFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    dialogs_->warning(this, tr("Open File"), QStringLiteral("Cannot open file '%1'").arg(path));
    return false;
  }
  QByteArray bytes = file.readAll();
  const bool readFailed = file.error() != QFileDevice::NoError;
  file.close();
  if (readFailed) {
    dialogs_->warning(this, tr("Open File"), QStringLiteral("Cannot open file '%1'").arg(path));
    return false;
  }

  byteOrderMark_ = bytes.startsWith("\xEF\xBB\xBF");
  if (byteOrderMark_) bytes.remove(0, 3);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  latin1_ = utf8.hasError();
  if (latin1_) text = QString::fromLatin1(bytes);
  // One line break character inside the control; CR LF comes back when the text is written.
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

  fileName_ = path;
  if (host_) host_->setCurrentFileName(path);
  setEditorFont();
  wordWrap_->setChecked(false);
  setWordWrap(false);
  editor_->setPlainText(text);
  editor_->moveCursor(QTextCursor::Start);
  editor_->document()->setModified(false);
  setFileName(path);
  if (host_) host_->setStatusText(2, QString());
  return true;
}

void EditorWindow::setFileName(const QString& path) {
  fileName_ = path;
  QString caption = nameWithoutFolder(path);
  if (isReportName(path) && host_ && host_->openingRunResults()) {
    caption += QStringLiteral("  for  ") + nameWithoutFolder(host_->runInputName());
  }
  setWindowTitle(caption);
}

bool EditorWindow::isModified() const { return editor_->document()->isModified(); }

QSize EditorWindow::sizeHint() const {
  const QFontMetrics metrics(editor_->font());
  return {metrics.horizontalAdvance(QLatin1Char('0')) * 80 + 40,
          metrics.lineSpacing() * 30 + menuBar_->sizeHint().height() + 20};
}

QSize EditorWindow::minimumSizeHint() const { return {320, 200}; }

// The line after it is brought into view first: a reader reports the line it had reached, and
// the word it stopped at may stand on the next.
void EditorWindow::goToLine(int line) {
  QTextDocument* document = editor_->document();
  QTextBlock block = document->findBlockByNumber(line - 1);
  if (!block.isValid()) block = document->lastBlock();
  const auto show = [editor = editor_, block] {
    const QTextBlock next = block.next();
    if (next.isValid()) {
      editor->setTextCursor(QTextCursor(next));
      editor->ensureCursorVisible();
    }
    editor->setTextCursor(QTextCursor(block));
    editor->ensureCursorVisible();
  };
  show();
  // Once the window has its final size the lines are scrolled into view again.
  QTimer::singleShot(0, editor_, show);
}

bool EditorWindow::writeFile(const QString& path) {
  // The raw text: the control's plain-text view would turn no-break spaces into blanks.
  const QString text = withCrLf(editor_->document()->toRawText());
  QByteArray bytes;
  if (latin1_) {
    // Written back in the file's own 8-bit code unless the text now needs more.
    bool fits = true;
    for (QChar c : text) fits = fits && c.unicode() < 0x100;
    if (fits) {
      bytes = text.toLatin1();
    } else {
      bytes = text.toUtf8();
    }
  } else {
    if (byteOrderMark_) bytes = "\xEF\xBB\xBF";
    bytes += text.toUtf8();
  }

  // Written to a temporary file and renamed over the old one when complete, so that a full
  // disk leaves the previous version intact; in a folder without write access the file itself
  // is overwritten in place.
  QSaveFile file(path);
  file.setDirectWriteFallback(true);
  QString reason;
  if (!file.open(QIODevice::WriteOnly)) {
    reason = file.errorString();
  } else if (file.write(bytes) != bytes.size()) {
    reason = file.errorString();
    file.cancelWriting();  // the temporary file goes; the old version stays
  } else if (!file.commit()) {
    reason = file.errorString();
  }
  if (!reason.isNull()) {
    dialogs_->error(this, tr("Save File"),
                    QStringLiteral("Cannot save file '%1'\n%2").arg(path, reason));
    return false;
  }
  return true;
}

bool EditorWindow::save() {
  if (fileName_ == kUntitled) return saveAs();
  if (!writeFile(fileName_)) return false;
  editor_->document()->setModified(false);
  if (host_) host_->setStatusText(2, QString());
  return true;
}

bool EditorWindow::saveAs() {
  const QString oldName = fileName_;
  if (host_) host_->setCurrentFileName(oldName);
  const QString folder = host_ ? host_->workFolder() : QDir::currentPath();
  const QString start = QFileInfo(oldName).isAbsolute() ? oldName : QDir(folder).filePath(oldName);

  const auto choice =
      dialogs_->saveFileName(this, start, editorSaveFilters(), startingFilter(oldName));
  if (!choice || choice->path.isEmpty()) return false;
  const QString path = applyFilterExtension(choice->path, choice->filterIndex);

  if (QFileInfo::exists(path) &&
      dialogs_->askYesNoCancel(this, kQuestionCaption,
                               QStringLiteral("OK to overwrite %1").arg(path)) != Answer::Yes) {
    return false;
  }
  // The window takes the new name only once the text is safely there: after a cancelled
  // question or a failed write it still names the file it came from.
  if (!writeFile(path)) return false;
  setFileName(path);
  if (host_) host_->setCurrentFileName(nameWithoutFolder(path));
  editor_->document()->setModified(false);
  if (host_) host_->setStatusText(2, QString());

  if (oldName != kUntitled && isReportName(oldName)) {
    const PlotFileCopies copies = copyReportPlotFiles(oldName, path);
    if (!copies.failed.isEmpty()) {
      dialogs_->warning(this, tr("Save File"),
                        QStringLiteral("Cannot create file '%1'").arg(copies.failed.join("', '")));
    }
  }
  return true;
}

void EditorWindow::findNextOrSay(const QString& text, bool matchCase, bool wholeWord) {
  if (!findNext(text, matchCase, wholeWord))
    dialogs_->information(
        findDialog_ && findDialog_->isVisible() ? static_cast<QWidget*>(findDialog_) : this,
        tr("Find"), QStringLiteral("Cannot find \"%1\"").arg(text));
}

bool EditorWindow::findNext(const QString& text, bool matchCase, bool wholeWord) {
  if (text.isEmpty()) return false;
  QTextDocument::FindFlags flags;
  if (matchCase) flags |= QTextDocument::FindCaseSensitively;
  if (wholeWord) flags |= QTextDocument::FindWholeWords;
  const QTextCursor found =
      editor_->document()->find(text, editor_->textCursor().selectionEnd(), flags);
  if (found.isNull()) return false;
  editor_->setTextCursor(found);
  editor_->ensureCursorVisible();
  return true;
}

void EditorWindow::updateStatus() {
  if (!host_) return;
  const QTextCursor cursor = editor_->textCursor();
  const std::string position = fmt::windowFormat(
      "Line: %3d   Col: %3d", {static_cast<long long>(cursor.blockNumber() + 1),
                               static_cast<long long>(cursor.positionInBlock() + 1)});
  host_->setStatusText(1, QString::fromStdString(position));
  host_->setStatusText(2, isModified() ? kModified : QString());
}

void EditorWindow::updateEditCommands() {
  const QMimeData* clipboard = QApplication::clipboard()->mimeData();
  paste_->setEnabled(clipboard != nullptr && clipboard->hasText());
  const bool selected = editor_->textCursor().hasSelection();
  cut_->setEnabled(selected);
  copy_->setEnabled(selected);
  delete_->setEnabled(selected);
}

FindDialog* EditorWindow::findDialog() {
  if (findDialog_ == nullptr) {
    findDialog_ = new FindDialog(this);
    connect(findDialog_, &FindDialog::findNext, this, &EditorWindow::findNextOrSay);
  }
  return findDialog_;
}

void EditorWindow::showFindDialog() {
  FindDialog* dialog = findDialog();
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

QPrinter& EditorWindow::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void EditorWindow::print() {
  QPrinter& target = printer();
  target.setDocName(fileName_);
  if (!dialogs_->print(this, target)) return;
  target.setDocName(fileName_);
  printText(editor_->document()->toRawText(), target, editor_->document()->defaultFont());
}

void EditorWindow::printerSetup() { dialogs_->printerSetup(this, printer()); }

void EditorWindow::chooseFont() {
  const auto font = dialogs_->chooseFont(this, editor_->currentFont());
  if (font) editor_->setCurrentFont(*font);
}

void EditorWindow::setWordWrap(bool wrap) {
  if (wordWrap_->isChecked() != wrap) wordWrap_->setChecked(wrap);
  editor_->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  editor_->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void EditorWindow::openDroppedFiles(const QStringList& paths) {
  for (const QString& path : paths) emit fileDropped(path);
}

void EditorWindow::closeWindow() {
  // The main window wraps the editor in a child frame; closing that frame asks this window
  // first (closeEvent below).
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    frame->close();
  } else {
    close();
  }
}

bool EditorWindow::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip && host_) {
    host_->showHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QWidget::event(event);
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (isModified()) {
    switch (dialogs_->askYesNoCancel(this, kQuestionCaption,
                                     QStringLiteral("Save changes to %1?").arg(fileName_))) {
      case Answer::Yes:
        // A save that was cancelled or failed keeps the window and its text.
        if (!save()) {
          event->ignore();
          return;
        }
        break;
      case Answer::No:
        break;
      case Answer::Cancel:
        event->ignore();
        return;
    }
  }
  event->accept();
}

void EditorWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (host_) host_->setStatusFont(QFont(QStringLiteral("Times New Roman"), 8));
  updateStatus();
  editor_->setFocus();
}

void EditorWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) updateStatus();
}

void EditorWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void EditorWindow::dropEvent(QDropEvent* event) {
  const QStringList files = droppedFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  openDroppedFiles(files);
}

}  // namespace tarvolin::ui
