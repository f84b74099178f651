#pragma once
// The editor's find dialog: a text, "Match case" and "Match whole word only". It stays open
// beside the editor; each "Find Next" asks the editor for the next match below the selection.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tarvolin::ui {

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FindDialog(QWidget* parent = nullptr);

  QString text() const;
  bool matchCase() const;
  bool wholeWord() const;

  QLineEdit* textField() const { return text_; }
  QCheckBox* matchCaseBox() const { return matchCase_; }
  QCheckBox* wholeWordBox() const { return wholeWord_; }
  QPushButton* findNextButton() const { return findNext_; }

 signals:
  void findNext(const QString& text, bool matchCase, bool wholeWord);

 private:
  QLineEdit* text_;
  QCheckBox* matchCase_;
  QCheckBox* wholeWord_;
  QPushButton* findNext_;
};

}  // namespace tarvolin::ui
