#include "ui/data_input/plan/grid.h"

#include <stdexcept>

namespace tarvolin::data_input {

Grid::Grid(int rows, int columns) : rows_(rows) {
  if (rows < 1 || columns < 0) throw std::out_of_range("grid size");
  setColumnCount(columns);
}

void Grid::setColumnCount(int columns) {
  if (columns < 0) throw std::out_of_range("grid column count");
  columns_.resize(static_cast<std::size_t>(columns),
                  std::vector<std::string>(static_cast<std::size_t>(rows_)));
}

void Grid::removeColumn(int column) {
  if (column < 0 || column >= columnCount()) throw std::out_of_range("grid column");
  columns_.erase(columns_.begin() + column);
}

void Grid::clearRows(int first, int last) {
  for (auto& column : columns_)
    for (int r = first; r <= last; ++r) column.at(r).clear();
}

void Grid::shiftRowsDown(int first, int last) {
  for (auto& column : columns_)
    for (int r = last; r >= first; --r) column.at(r + 1) = column.at(r);
}

bool Grid::rowHasData(int row) const {
  for (int c = 1; c < columnCount(); ++c)
    if (!isBlank(cell(row, c))) return true;
  return false;
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool isBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

}  // namespace tarvolin::data_input
