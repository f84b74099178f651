#pragma once
// A grid of the data-input window on screen: a table view over one grid of cell texts, whose
// heading row shows as the column headings and whose label column (row numbers, reactant and
// species names) stays at the left while the other columns scroll. Every cell beyond the
// labels is typed in place; a block copied from a spreadsheet can be pasted, Delete empties
// the selected cells, and Copy puts them on the clipboard as tab-separated lines.

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QTableView>
#include <map>

#include "ui/data_input/plan/grid.h"

class QAbstractButton;

namespace tarvolin::ui {

class PlanGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The grid must outlive the model.
  PlanGridModel(data_input::Grid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Shows the grid as it now is, after it changed behind the model's back.
  void refresh();

 private:
  friend class PlanGridView;
  data_input::Grid& grid_;
  int shownColumns_;
};

class PlanGridView : public QTableView {
  Q_OBJECT

 public:
  // cornerText: the heading of the label column; headingColour: the heading row's and the
  // label column's colour.
  PlanGridView(data_input::Grid& grid, const QString& cornerText, const QColor& headingColour,
               QWidget* parent = nullptr);

  PlanGridModel* gridModel() const { return model_; }
  QString cornerText() const { return cornerText_; }
  // Least widths of the label column, of every other column and of grid column `column` (1 the
  // first beyond the labels). A column is never narrower than its heading.
  void setLabelWidth(int width);
  void setDefaultColumnWidth(int width);
  void setGridColumnWidth(int column, int width);
  void refresh();

  // The clipboard actions, also bound to their usual keys.
  void pasteCells();
  void copyCells() const;
  void clearCells();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applyWidths();

  PlanGridModel* model_;
  QString cornerText_;
  QAbstractButton* corner_ = nullptr;
  int labelWidth_ = 0;
  int defaultWidth_ = 64;
  std::map<int, int> columnWidths_;  // grid column -> width, kept across model resets
};

}  // namespace tarvolin::ui
