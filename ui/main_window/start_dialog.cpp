#include "ui/main_window/start_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QValidator>
#include <cmath>
#include <limits>

#include "base/text_file.h"
#include "run/results_json.h"
#include "run/run_files.h"
#include "ui/data_input/plan/plan_files.h"
#include "ui/platform/local_names.h"

namespace tarvolin::ui {

namespace {

const char* const kMethodNames[] = {"Gradient", "Simplex", "Monte Carlo"};

class OutputNameValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (const QChar c : input)
      if (outputNameCharRefused(c.unicode())) return Invalid;
    return Acceptable;
  }
};

}  // namespace

bool outputNameCharRefused(char16_t c) {
  return (c >= 32 && c <= 44) || c == 47 || (c >= 58 && c <= 64) || (c >= 91 && c <= 94) || c > 122;
}

QString normalisedOutputName(const QString& text) {
  const qsizetype dot = text.indexOf(QLatin1Char('.'));
  const QString base = dot < 0 ? text : text.left(dot);
  if (base.isEmpty()) return {};
  return base + QStringLiteral(".OUT");
}

std::optional<float> parseDeltaRF(const QString& text) {
  // The first "," and the first "." both stand for the decimal separator; a second separator
  // of either kind makes the text invalid, as do group separators.
  QString number = text.trimmed();
  const qsizetype comma = number.indexOf(QLatin1Char(','));
  if (comma >= 0) number[comma] = QLatin1Char('.');
  QLocale c = QLocale::c();
  c.setNumberOptions(QLocale::RejectGroupSeparator);
  bool ok = false;
  const double value = c.toDouble(number, &ok);
  // A negative change would never end the one-by-one cycles; a value beyond the option's
  // single precision would turn into infinity.
  if (!ok || !std::isfinite(value) || value < 0 || value > std::numeric_limits<float>::max())
    return std::nullopt;
  return static_cast<float>(value);
}

StartDialog::StartDialog(StartDialogHost& host, Model& model, QWidget* parent)
    : QDialog(parent), host_(host), model_(model) {
  setWindowTitle(QStringLiteral("START CALCULATIONS"));
  setModal(true);

  methods_ = new QListWidget(this);
  inputs_ = new QListWidget(this);
  outputs_ = new QListWidget(this);
  outputEdit_ = new QLineEdit(this);
  outputEdit_->setValidator(new OutputNameValidator(outputEdit_));
  outputEdit_->setPlaceholderText(QStringLiteral("new name, Enter"));
  outputEdit_->installEventFilter(this);
  for (QListWidget* list : {methods_, inputs_, outputs_}) {
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumWidth(160);
  }
  methods_->setMaximumHeight(methods_->fontMetrics().height() * 4 + 8);

  view_ = new QPushButton(QStringLiteral("View"), this);
  view_->setToolTip(QStringLiteral("Highlighted output file to view"));
  edit_ = new QPushButton(QStringLiteral("Edit"), this);
  edit_->setToolTip(QStringLiteral("Highlighted input file to edit "));
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  for (QPushButton* button : {view_, edit_, cancel_}) button->setAutoDefault(false);
  ok_->setDefault(true);

  oneByOne_ = new QCheckBox(QStringLiteral("Fit Vars one by one; Delta RF:"), this);
  deltaRF_ = new QLineEdit(QStringLiteral("1.0e-6"), this);
  deltaRF_->setToolTip(QStringLiteral("Hamilton's R-Factor change"));
  deltaRF_->setMaximumWidth(deltaRF_->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 12);
  resultsJson_ = new QCheckBox(QStringLiteral("Write results as JSON"), this);
  resultsJson_->setToolTip(
      QStringLiteral("Also write every result of the run into <report name>.json, for scripts"));

  // The step size travels with the input data; the field is kept, hidden, for the one run
  // option the data do not carry.
  step_ = new QLineEdit(QStringLiteral("0.12"), this);
  step_->setToolTip(
      QStringLiteral("step size for Newton-Raphson, Simplex or Monte Carlo algorithm "));
  step_->setVisible(false);
  step_->installEventFilter(this);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Fitting method:"), this), 0, 0);
  grid->addWidget(methods_, 1, 0, Qt::AlignTop);
  grid->addWidget(new QLabel(QStringLiteral("Input file:"), this), 0, 1);
  grid->addWidget(inputs_, 1, 1, 2, 1);
  grid->addWidget(edit_, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("Output file:"), this), 0, 2);
  auto* outputColumn = new QVBoxLayout;
  outputColumn->setSpacing(2);
  outputColumn->addWidget(outputEdit_);
  outputColumn->addWidget(outputs_);
  grid->addLayout(outputColumn, 1, 2, 2, 1);
  grid->addWidget(view_, 3, 2);
  auto* deltaRow = new QHBoxLayout;
  deltaRow->addWidget(oneByOne_);
  deltaRow->addWidget(deltaRF_);
  deltaRow->addStretch();
  grid->addLayout(deltaRow, 4, 0, 1, 3);
  grid->addWidget(resultsJson_, 5, 0, 1, 3);
  grid->setRowStretch(2, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(step_);
  layout->addLayout(buttons);
  resize(620, 360);

  connect(inputs_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) inputName_ = inputs_->item(row)->text();
  });
  connect(outputs_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) outputName_ = outputs_->item(row)->text();
  });
  connect(oneByOne_, &QCheckBox::toggled, this,
          [this](bool on) { model_.FitOneByOne = on ? 1 : 0; });
  connect(view_, &QPushButton::clicked, this, [this] {
    const QString name = selectedText(outputs_);
    if (name.isEmpty()) return;
    emit editRequested(QDir(host_.workFolder()).filePath(name));
    reject();
  });
  connect(edit_, &QPushButton::clicked, this, [this] {
    const QString name = selectedText(inputs_);
    if (name.isEmpty()) return;
    emit editRequested(QDir(host_.workFolder()).filePath(name));
    reject();
  });
  connect(ok_, &QPushButton::clicked, this, &StartDialog::okClicked);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void StartDialog::enterWorkFolder() const { QDir::setCurrent(host_.workFolder()); }

void StartDialog::showEvent(QShowEvent* event) {
  if (methods_->count() == 0)
    for (const char* name : kMethodNames) methods_->addItem(QString::fromLatin1(name));
  enterWorkFolder();
  if (historyPending_) {
    loadHistory();
    historyPending_ = false;
  }
  methods_->setCurrentRow(host_.checkedMethod());
  fillFileLists();
  step_->setText(QString::number(static_cast<double>(model_.Step)));
  QDialog::showEvent(event);
}

void StartDialog::fillFileLists() {
  const QDir folder(host_.workFolder());
  const auto sorted = QDir::Name | QDir::IgnoreCase;
  // Refilling moves the lists' current rows; the names chosen before are what is looked for.
  QString wantedInput = inputName_, wantedOutput = outputName_;
  // The data-input window's Fitting Test writes its own input and report here; they are its
  // work files, not the user's.
  const auto ownFiles = [](QStringList names) {
    names.removeIf([](const QString& name) {
      return name.compare(QLatin1String(data_input::kFitTestDataName), Qt::CaseInsensitive) == 0 ||
             name.compare(QLatin1String(data_input::kFitTestReportName), Qt::CaseInsensitive) == 0;
    });
    return names;
  };
  inputs_->clear();
  inputs_->addItems(ownFiles(
      folder.entryList({QStringLiteral("*.DAT"), QStringLiteral("*.SQD")}, QDir::Files, sorted)));
  outputEdit_->clear();
  outputs_->clear();
  outputs_->addItems(ownFiles(folder.entryList({QStringLiteral("*.OUT")}, QDir::Files, sorted)));
  selectName(inputs_, wantedInput);
  selectName(outputs_, wantedOutput);
  inputName_ = wantedInput;
  outputName_ = wantedOutput;
}

// Selects the item equal to the name; when there is none, the first item, which becomes the
// name. An empty list leaves the name alone.
void StartDialog::selectName(QListWidget* list, QString& name) {
  const QString wanted = name;
  const QList<QListWidgetItem*> found = list->findItems(wanted, Qt::MatchExactly);
  if (!found.isEmpty()) {
    list->setCurrentItem(found.first());
    name = wanted;
  } else if (list->count() > 0) {
    list->setCurrentRow(0);
    name = list->item(0)->text();
  }
}

bool StartDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == outputEdit_) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        normaliseOutputText();
        return true;  // Enter names the report; it does not close the dialog
      }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      normaliseOutputText();
    }
  } else if (watched == step_ && event->type() == QEvent::KeyRelease) {
    QString text = step_->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double step = QLocale::c().toDouble(text, &ok);
    if (ok && std::isfinite(step)) model_.Step = static_cast<Real>(step);
  }
  return QDialog::eventFilter(watched, event);
}

void StartDialog::normaliseOutputText() {
  const QString name = normalisedOutputName(outputEdit_->text());
  if (name.isEmpty()) return;
  QList<QListWidgetItem*> found = outputs_->findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) {
    outputs_->addItem(name);
    found = outputs_->findItems(name, Qt::MatchExactly);
  }
  outputs_->setCurrentItem(found.first());
  outputEdit_->setText(name);
  outputName_ = name;
}

QString StartDialog::selectedText(const QListWidget* list) const {
  const QListWidgetItem* item = list->currentItem();
  return item ? item->text() : QString();
}

void StartDialog::okClicked() {
  if (model_.FitOneByOne) {
    const std::optional<float> deltaRF = parseDeltaRF(deltaRF_->text());
    if (!deltaRF) {
      host_.message(MessageKind::Information, QStringLiteral("Information"),
                    QStringLiteral("Please, input correct value for Hamilton R-Factor change."),
                    MessageButtons::Ok);
      model_.DeltaRF = 1.0e-6f;
      deltaRF_->setText(QStringLiteral("1") + QLocale().decimalPoint() + QStringLiteral("0e-6"));
      return;
    }
    model_.DeltaRF = *deltaRF;
  }
  if (!outputEdit_->text().isEmpty()) normaliseOutputText();

  int method = methods_->currentRow();
  if (method < 0 || method > 2) method = 0;
  const QString input = selectedText(inputs_);
  const QString output = selectedText(outputs_);
  host_.showRunChoice(QStringLiteral("Fitting method: ") + QLatin1String(kMethodNames[method]) +
                      QStringLiteral("   Input file: ") + input +
                      QStringLiteral("   Output file: ") + output);
  host_.checkMethod(method);
  // A run reads the control file the dialog leaves; one that could not be written would make
  // the run read the previous run's files instead, so the run is not started.
  if (!writeControlFile(input, output) || input.isEmpty() || output.isEmpty()) {
    reject();
    return;
  }
  accept();
}

bool StartDialog::writeControlFile(const QString& input, const QString& output) {
  const QString path = QDir(host_.workFolder()).filePath(QString::fromLatin1(kControlFileName));
  TextWriter control;
  bool written = control.create(localPath(path));
  if (written) {
    try {
      control.line(localPath(input)).line(localPath(output));
      control.close();
    } catch (const IoError&) {
      written = false;
    }
  }
  if (!written)
    host_.message(MessageKind::Error, QStringLiteral("Write into File"),
                  QStringLiteral("Cannot create file '%1'").arg(QLatin1String(kControlFileName)),
                  MessageButtons::Ok);
  return written;
}

void StartDialog::loadHistory() {
  enterWorkFolder();
  const QString path = QDir(host_.workFolder()).filePath(QString::fromLatin1(kHistoryFileName));
  std::string content;
  if (!QFile::exists(path) || !readWholeFile(localPath(path), content)) return;
  const std::vector<std::string> lines = splitLines(content);
  if (lines.size() > 0) inputName_ = QFile::decodeName(QByteArray::fromStdString(lines[0]));
  if (lines.size() > 1) outputName_ = QFile::decodeName(QByteArray::fromStdString(lines[1]));
  bool ok = false;
  const int index = lines.size() > 2 ? QString::fromStdString(lines[2]).trimmed().toInt(&ok) : -1;
  methods_->setCurrentRow(ok && index >= 0 && index <= 2 ? index : -1);
  host_.checkMethod(methods_->currentRow());
  // History files of earlier versions have three lines: the box stays unchecked.
  resultsJson_->setChecked(lines.size() > 3 && QString::fromStdString(lines[3]).trimmed() == "1");
}

void StartDialog::saveHistory() {
  // Before the first showing the history has not been read; writing the defaults now would
  // replace the choices of the last session with them.
  if (historyPending_) return;
  enterWorkFolder();
  int method = methods_->currentRow();
  if (method < 0) method = host_.checkedMethod();
  const QString path = QDir(host_.workFolder()).filePath(QString::fromLatin1(kHistoryFileName));
  try {
    TextWriter history;
    if (!history.create(localPath(path))) return;
    history.line(localPath(inputName_)).line(localPath(outputName_)).line(std::to_string(method));
    if (resultsJson_->isChecked()) history.line("1");
    history.close();
  } catch (...) {
  }
}

void StartDialog::saveResults(const RunResults& results) {
  if (!resultsJson_->isChecked()) return;
  const QString name =
      QFile::decodeName(QByteArray::fromStdString(resultsJsonName(localPath(selectedOutput()))));
  const std::string path = localPath(QDir(host_.workFolder()).filePath(name));
  try {
    writeJsonFile(path, resultsDocument(results));
  } catch (const IoError& error) {
    host_.message(MessageKind::Error, QStringLiteral("Write into File"),
                  QStringLiteral("Cannot write file '%1': %2")
                      .arg(name, QString::fromLocal8Bit(error.reason().c_str())),
                  MessageButtons::Ok);
  }
}

}  // namespace tarvolin::ui
