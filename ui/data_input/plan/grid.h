#pragma once
// A grid of cell texts as the window's table controls show it: row 0 holds the headings,
// column 0 the row labels. Cells are addressed (row, column), as in the Qt table widget.

#include <string>
#include <vector>

namespace tarvolin::data_input {

class Grid {
 public:
  // rows and columns count the heading row and the label column.
  Grid(int rows, int columns);

  int rowCount() const { return rows_; }
  int columnCount() const { return static_cast<int>(columns_.size()); }

  // Out-of-range addresses are programming errors: std::out_of_range.
  const std::string& cell(int row, int column) const { return columns_.at(column).at(row); }
  void setCell(int row, int column, std::string text) {
    columns_.at(column).at(row) = std::move(text);
  }

  // Adds empty columns at the right or drops the last ones.
  void setColumnCount(int columns);
  void appendColumn() { setColumnCount(columnCount() + 1); }
  // The columns after it move one place left.
  void removeColumn(int column);
  // Empties every cell of the rows first..last, headings and labels included.
  void clearRows(int first, int last);
  // Moves the rows first..last down by one; row last + 1 is overwritten, row first keeps its
  // cells.
  void shiftRowsDown(int first, int last);
  // True when some cell of the row beyond the label column holds more than blanks.
  bool rowHasData(int row) const;

  bool operator==(const Grid&) const = default;

 private:
  int rows_;
  std::vector<std::vector<std::string>> columns_;  // [column][row]
};

// The text without the blanks and tabs around it.
std::string trimmed(const std::string& text);
bool isBlank(const std::string& text);

}  // namespace tarvolin::data_input
