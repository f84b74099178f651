#pragma once
// Shared pieces of the window tests: a work folder with chosen example inputs, a record of the
// message boxes (answered without a modal box), and actions on modal dialogs as they appear.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/main_window/main_window.h"
#include "ui/main_window/start_dialog.h"
#include "ui/platform/gui_platform.h"

namespace tarvolin::ui::testing {

inline QByteArray readBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The rows of a table under tests/data/ui/, its fields split at "|"; "#" lines are comments.
inline QList<QStringList> tableRows(const QString& name) {
  QList<QStringList> rows;
  const QString path = QStringLiteral(TARVOLIN_SOURCE_DIR "/tests/data/ui/") + name;
  for (const QString& line : QString::fromUtf8(readBytes(path)).split('\n', Qt::SkipEmptyParts))
    if (!line.startsWith('#')) rows << line.trimmed().split('|');
  if (rows.isEmpty()) qFatal("no table %s", qPrintable(path));
  return rows;
}

// The next scripted answer, or `none` when the script has none left.
template <typename T>
T nextAnswer(std::deque<T>& answers, T none) {
  if (answers.empty()) return none;
  const T answer = answers.front();
  answers.pop_front();
  return answer;
}

// A fresh folder holding copies of the named files of examples/.
class WorkFolder {
 public:
  explicit WorkFolder(const QStringList& examples = {}) {
    for (const QString& name : examples)
      QFile::copy(QStringLiteral(TARVOLIN_SOURCE_DIR "/examples/") + name, file(name));
  }
  QString path() const { return dir_.path(); }
  QString file(const QString& name) const { return QDir(dir_.path()).filePath(name); }
  QByteArray read(const QString& name) const {
    return QFile::exists(file(name)) ? readBytes(file(name)) : QByteArray("<missing>");
  }
  void write(const QString& name, const QByteArray& bytes) const { writeBytes(file(name), bytes); }

 private:
  QTemporaryDir dir_;
};

struct ShownMessage {
  MessageKind kind;
  QString caption;
  QString text;
  MessageButtons buttons = MessageButtons::Ok;
};

template <typename Messages>
QStringList messageTexts(const Messages& messages) {
  QStringList all;
  for (const ShownMessage& m : messages) all << m.text;
  return all;
}

// What a window's scripted dialogs were told and asked, and what they answer in order: the
// questions `answers` (none left: the `none` the dialog gives), the file dialogs `files` (none
// left: cancelled). It outlives the windows.
template <typename AnswerT, typename File = QString>
struct DialogScript {
  std::vector<ShownMessage> messages;
  QStringList questions;
  std::deque<AnswerT> answers;
  std::deque<std::optional<File>> files;
  QStringList fileTitles;

  QStringList texts() const { return messageTexts(messages); }
  void clear() {
    messages.clear();
    questions.clear();
    fileTitles.clear();
  }
  AnswerT ask(const QString& question, AnswerT none) {
    questions << question;
    return nextAnswer(answers, none);
  }
  std::optional<File> file(const QString& title) {
    fileTitles << title;
    return nextAnswer(files, std::optional<File>());
  }
};

// Every message box of the program goes here while it lives. Confirmations are answered Yes
// unless `answer` says otherwise.
class MessageLog {
 public:
  MessageLog() {
    GuiPlatform::setMessageHook([this](MessageKind kind, const QString& caption,
                                       const QString& text, MessageButtons buttons) {
      messages.append({kind, caption, text, buttons});
      if (answer) return answer(messages.last());
      return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Yes;
    });
  }
  ~MessageLog() { GuiPlatform::setMessageHook({}); }
  QStringList texts() const { return messageTexts(messages); }

  QList<ShownMessage> messages;
  std::function<MessageResult(const ShownMessage&)> answer;
};

// Runs `action` on every modal dialog of type T each time it comes up, while it lives. A modal
// dialog of another type is rejected, so that no test can hang on it.
template <typename T>
class OnModal : public QObject {
 public:
  explicit OnModal(std::function<void(T*)> action) : action_(std::move(action)) {
    qApp->installEventFilter(this);
  }
  ~OnModal() override { qApp->removeEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show) return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (!dialog || dialog->windowModality() == Qt::NonModal) return false;
    QPointer<QDialog> target(dialog);
    QTimer::singleShot(0, this, [this, target] {
      if (!target || !target->isVisible()) return;
      if (auto* wanted = qobject_cast<T*>(target.data())) {
        ++count;
        action_(wanted);
      } else {
        target->reject();
      }
    });
    return false;
  }

 private:
  std::function<void(T*)> action_;
};

// A main window on the folder that never offers the start-up greeting (tests that want it set
// their own draw).
inline std::unique_ptr<MainWindow> newMainWindow(const QString& folder) {
  auto form = std::make_unique<MainWindow>(folder);
  form->setRandomSource([] { return 0.95; });
  return form;
}

inline void clickItem(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  QVERIFY2(!found.isEmpty(), qPrintable(text));
  list->scrollToItem(found.first());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(found.first()).center());
}

// Picks the method (none: the one offered), the input and a new report name in the start
// dialog, then OK.
inline auto chooseRun(const QString& method, const QString& input, const QString& output) {
  return [=](StartDialog* dlg) {
    if (!method.isEmpty()) clickItem(dlg->methodList(), method);
    clickItem(dlg->inputList(), input);
    QTest::keyClicks(dlg->outputEdit(), output);
    QTest::keyClick(dlg->outputEdit(), Qt::Key_Return);
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
  };
}

// The captions of the main window's document windows in the order they were opened.
inline QStringList captions(const MainWindow& form) {
  QStringList titles;
  for (QMdiSubWindow* sub : form.mdiArea()->subWindowList(QMdiArea::CreationOrder))
    titles << sub->windowTitle();
  return titles;
}

// The widget's picture as <name>.png in the build's screenshots folder, for a person to look at.
inline void saveScreenshot(QWidget* widget, const QString& name) {
  QDir().mkpath(TARVOLIN_SCREENSHOT_DIR);
  const QString path = QDir(TARVOLIN_SCREENSHOT_DIR).filePath(name + ".png");
  QVERIFY2(widget->grab().save(path), qPrintable(path));
}

// Pixels of exactly this colour (alpha ignored) within the rectangle, the whole image if none.
inline int countColour(const QImage& image, QRgb colour, QRect area = {}) {
  area = area.isNull() ? image.rect() : area.intersected(image.rect());
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
  return n;
}

}  // namespace tarvolin::ui::testing
