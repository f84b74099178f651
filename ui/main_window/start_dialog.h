#pragma once
// The start dialog of a calculation ("START CALCULATIONS"): the fitting method, the input file
// and the report (output) file of the next run, the one-by-one option with its R-factor change,
// and whether the run's results are also written as a JSON document beside the report. OK
// writes the control file "IN.IN" that the run reads. The last choices are kept in the history
// file "Tarvolin.INP" from one session to the next.

#include <QDialog>
#include <QString>
#include <optional>

#include "model/model.h"
#include "run/run_results.h"
#include "ui/main_window/start_dialog_host.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvolin::ui {

inline constexpr const char* kHistoryFileName = "Tarvolin.INP";

// Output names keep to letters, digits, "-", ".", "_" and "`": a typed blank, punctuation
// (codes 32-44, 47, 58-64, 91-94) or anything above "z" is refused.
bool outputNameCharRefused(char16_t c);
// Everything from the first "." dropped and ".OUT" appended (res.old gives res.OUT); empty
// when no name is left.
QString normalisedOutputName(const QString& text);
// The R-factor change as typed, with "," or "." as the decimal separator; empty when it is not
// a number, or is negative or beyond the range of the run option.
std::optional<float> parseDeltaRF(const QString& text);

class StartDialog : public QDialog {
  Q_OBJECT

 public:
  StartDialog(StartDialogHost& host, Model& model, QWidget* parent = nullptr);

  QString inputName() const { return inputName_; }
  QString outputName() const { return outputName_; }
  bool historyPending() const { return historyPending_; }
  // The highlighted items of the two file lists: the files of the run just chosen.
  QString selectedInput() const { return selectedText(inputs_); }
  QString selectedOutput() const { return selectedText(outputs_); }

  // LoadHistory: InputName, OutputName and the method from "Tarvolin.INP" when it exists.
  void loadHistory();
  // SaveHistory: the three lines into "Tarvolin.INP", and a fourth, "1", while the results are
  // written as JSON (without it the file reads as before); a failure is ignored, since losing
  // the history costs the user no data.
  void saveHistory();

  // After a run: the results document <output base>.json beside the report, when the box is
  // checked; a file that cannot be written is reported.
  void saveResults(const RunResults& results);

  QListWidget* methodList() const { return methods_; }
  QListWidget* inputList() const { return inputs_; }
  QListWidget* outputList() const { return outputs_; }
  QLineEdit* outputEdit() const { return outputEdit_; }
  QCheckBox* oneByOneBox() const { return oneByOne_; }
  QLineEdit* deltaRFEdit() const { return deltaRF_; }
  QCheckBox* resultsJsonBox() const { return resultsJson_; }
  QLineEdit* stepEdit() const { return step_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* viewButton() const { return view_; }
  QPushButton* editButton() const { return edit_; }

 signals:
  // "View" and "Edit": the highlighted report or input file, to open in an editor window.
  void editRequested(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillFileLists();
  void selectName(QListWidget* list, QString& name);
  void normaliseOutputText();
  void okClicked();
  bool writeControlFile(const QString& input, const QString& output);
  QString selectedText(const QListWidget* list) const;
  void enterWorkFolder() const;

  StartDialogHost& host_;
  Model& model_;
  QString inputName_ = QStringLiteral("TEST.DAT");
  QString outputName_ = QStringLiteral("CURRENT.OUT");
  bool historyPending_ = true;

  QListWidget* methods_;
  QListWidget* inputs_;
  QListWidget* outputs_;
  QLineEdit* outputEdit_;
  QCheckBox* oneByOne_;
  QLineEdit* deltaRF_;
  QCheckBox* resultsJson_;
  QLineEdit* step_;
  QPushButton* view_;
  QPushButton* edit_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace tarvolin::ui
