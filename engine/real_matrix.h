#pragma once
// A dense matrix of extended reals with 1-based indices, grown to what a system needs (the
// Jacobian of a run takes one row per point and one column per fitted parameter) and reused
// for every iteration.

#include <cstddef>
#include <vector>

#include "base/real.h"

namespace tarvolin {

class RealMatrix {
 public:
  RealMatrix() = default;
  RealMatrix(int rows, int cols) { resize(rows, cols); }

  // Capacity rows x cols; the contents are zeroed.
  void resize(int rows, int cols) {
    rows_ = rows;
    cols_ = cols;
    data_.assign(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(cols + 1), 0);
  }
  // At least rows x cols: a matrix that is large enough keeps its storage and its contents;
  // otherwise it is laid out anew, zeroed, with the larger of the old and the new extents.
  void reserve(int rows, int cols) {
    if (rows <= rows_ && cols <= cols_) return;
    resize(rows > rows_ ? rows : rows_, cols > cols_ ? cols : cols_);
  }
  int rows() const { return rows_; }
  int cols() const { return cols_; }

  Real& operator()(int i, int j) { return data_[index(i, j)]; }
  Real operator()(int i, int j) const { return data_[index(i, j)]; }
  // Row i as a 1-based array: row(i)[j] is element (i, j).
  Real* row(int i) { return data_.data() + index(i, 0); }
  const Real* row(int i) const { return data_.data() + index(i, 0); }

 private:
  std::size_t index(int i, int j) const {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_ + 1) +
           static_cast<std::size_t>(j);
  }
  int rows_ = 0;
  int cols_ = 0;
  std::vector<Real> data_;
};

}  // namespace tarvolin
