#include "ui/data_input/plan_grid_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

namespace tarvolin::ui {

using data_input::Grid;

namespace {

// Room beside a heading's text for the section's padding and border.
constexpr int kHeadingRoom = 12;

QString sheetFor(const QColor& heading) {
  const QString colour = heading.name();
  return QStringLiteral(
             "QHeaderView::section, QTableCornerButton::section {"
             " background-color: %1; color: black; padding: 1px 3px;"
             " border: 0px; border-right: 1px solid #808080; border-bottom: 1px solid #808080; }"
             "QTableView { gridline-color: #C0C0C0; background-color: white; }")
      .arg(colour);
}

}  // namespace

PlanGridModel::PlanGridModel(Grid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), shownColumns_(grid.columnCount() - 1) {}

int PlanGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.rowCount() - 1;
}

int PlanGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownColumns_;
}

QVariant PlanGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  if (index.column() + 1 >= grid_.columnCount()) return {};
  return QString::fromStdString(grid_.cell(index.row() + 1, index.column() + 1));
}

bool PlanGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  if (index.column() + 1 >= grid_.columnCount()) return false;
  grid_.setCell(index.row() + 1, index.column() + 1, value.toString().toStdString());
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

QVariant PlanGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (section + 1 >= grid_.columnCount()) return {};
    return QString::fromStdString(grid_.cell(0, section + 1));
  }
  if (section + 1 >= grid_.rowCount()) return {};
  return QString::fromStdString(grid_.cell(section + 1, 0));
}

Qt::ItemFlags PlanGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void PlanGridModel::refresh() {
  if (grid_.columnCount() - 1 != shownColumns_) {
    beginResetModel();
    shownColumns_ = grid_.columnCount() - 1;
    endResetModel();
    return;
  }
  if (rowCount() > 0 && columnCount() > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

PlanGridView::PlanGridView(Grid& grid, const QString& cornerText, const QColor& headingColour,
                           QWidget* parent)
    : QTableView(parent), model_(new PlanGridModel(grid, this)), cornerText_(cornerText) {
  setModel(model_);
  setStyleSheet(sheetFor(headingColour));
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setWordWrap(false);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(20);
  verticalHeader()->setSectionsClickable(false);
  verticalHeader()->setHighlightSections(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // The label column is the vertical header; its heading sits in the corner above it.
  setCornerButtonEnabled(false);
  corner_ = findChild<QAbstractButton*>();
  if (corner_) corner_->installEventFilter(this);
  // Columns come and go with the reactants: each new set of columns gets its widths again.
  connect(model_, &QAbstractItemModel::modelReset, this, &PlanGridView::applyWidths);
  applyWidths();
}

void PlanGridView::setLabelWidth(int width) {
  labelWidth_ = width;
  applyWidths();
}

void PlanGridView::setDefaultColumnWidth(int width) {
  defaultWidth_ = width;
  applyWidths();
}

void PlanGridView::setGridColumnWidth(int column, int width) {
  columnWidths_[column] = width;
  applyWidths();
}

void PlanGridView::applyWidths() {
  const QFontMetrics metrics(horizontalHeader()->font());
  // Labels longer than the label column (four-digit point numbers, long product names) widen
  // it rather than being cut; so does the corner heading.
  verticalHeader()->setMinimumWidth(
      std::max(labelWidth_, metrics.horizontalAdvance(cornerText_) + kHeadingRoom));
  horizontalHeader()->setDefaultSectionSize(defaultWidth_);
  for (int c = 0; c < model_->columnCount(); ++c) {
    const auto set = columnWidths_.find(c + 1);
    const int width = set != columnWidths_.end() ? set->second : defaultWidth_;
    const QString heading = model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    setColumnWidth(c, std::max(width, metrics.horizontalAdvance(heading) + kHeadingRoom));
  }
}

void PlanGridView::refresh() { model_->refresh(); }

void PlanGridView::pasteCells() {
  const QModelIndex start = currentIndex().isValid() ? currentIndex() : model_->index(0, 0);
  if (!start.isValid()) return;
  QString text = QApplication::clipboard()->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  const QStringList lines = text.split(QLatin1Char('\n'));
  bool changed = false;
  for (int i = 0; i < lines.size(); ++i) {
    const int row = start.row() + i;
    if (row >= model_->rowCount()) break;
    const QStringList fields = lines[i].split(QLatin1Char('\t'));
    for (int j = 0; j < fields.size(); ++j) {
      const int column = start.column() + j;
      if (column >= model_->columnCount()) break;
      model_->grid_.setCell(row + 1, column + 1, fields[j].trimmed().toStdString());
      changed = true;
    }
  }
  if (!changed) return;
  model_->refresh();
}

void PlanGridView::copyCells() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  int top = selected.first().row(), bottom = top, left = selected.first().column(), right = left;
  for (const QModelIndex& index : selected) {
    top = std::min(top, index.row());
    bottom = std::max(bottom, index.row());
    left = std::min(left, index.column());
    right = std::max(right, index.column());
  }
  QStringList lines;
  for (int r = top; r <= bottom; ++r) {
    QStringList fields;
    for (int c = left; c <= right; ++c)
      fields << model_->data(model_->index(r, c), Qt::DisplayRole).toString();
    lines << fields.join(QLatin1Char('\t'));
  }
  QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void PlanGridView::clearCells() {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  for (const QModelIndex& index : selected)
    model_->grid_.setCell(index.row() + 1, index.column() + 1, std::string());
  model_->refresh();
}

void PlanGridView::keyPressEvent(QKeyEvent* event) {
  if (state() != QAbstractItemView::EditingState) {
    if (event->matches(QKeySequence::Paste)) {
      pasteCells();
      return;
    }
    if (event->matches(QKeySequence::Copy)) {
      copyCells();
      return;
    }
    if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Backspace) {
      clearCells();
      return;
    }
  }
  QTableView::keyPressEvent(event);
}

bool PlanGridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == corner_ && event->type() == QEvent::Paint) {
    QStyleOptionHeader option;
    option.initFrom(corner_);
    option.state |= QStyle::State_Raised;
    option.rect = corner_->rect();
    option.text = cornerText_;
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    QPainter painter(corner_);
    corner_->style()->drawControl(QStyle::CE_Header, &option, &painter, corner_);
    return true;
  }
  return QTableView::eventFilter(watched, event);
}

}  // namespace tarvolin::ui
