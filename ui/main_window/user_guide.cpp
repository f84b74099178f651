#include "ui/main_window/user_guide.h"

#include <QDir>
#include <QFile>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

// The guide is compiled into the static UI library; naming its resource here keeps the linker
// from dropping it.
static void initGuideResource() { Q_INIT_RESOURCE(user_guide); }

namespace tarvolin::ui {

QString userGuideText() {
  initGuideResource();
  QFile file(QStringLiteral(":/tarvolin/user_guide.md"));
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("# Tarvolin user guide\n");
  return QString::fromUtf8(file.readAll());
}

UserGuideWindow::UserGuideWindow(const QString& workFolder, QWidget* parent)
    : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Tarvolin Help"));
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  QString text = userGuideText();
  const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
  // Under the title: where this session's files are.
  text.insert(firstBreak + 1, QStringLiteral("\n*Work folder of this session:* `%1`\n")
                                  .arg(QDir::toNativeSeparators(workFolder)));
  browser_->setMarkdown(text);
  browser_->document()->setDocumentMargin(14);
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(720, 640);
}

}  // namespace tarvolin::ui
