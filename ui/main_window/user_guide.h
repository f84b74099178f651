#pragma once
// The program's help: a short user guide of our own (preparing DAT and SQD input, the three
// methods, reading the report and the plots), shown from Help in a window of its own.

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tarvolin::ui {

// The guide's Markdown text, built into the program.
QString userGuideText();

class UserGuideWindow : public QWidget {
  Q_OBJECT

 public:
  // The guide names the session's work folder at its top.
  explicit UserGuideWindow(const QString& workFolder, QWidget* parent = nullptr);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace tarvolin::ui
