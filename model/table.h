#pragma once
// Tables of the system model that take the room a system needs rather than the limits: a
// point table of 3300 rows of 50 reagents would be 2.7 MB of mostly unused zeros for a
// titration of 40 points with three reagents.
//
// Both types keep the 1-based indexing of the fixed tables they replace: entry 0 exists and
// is an ordinary entry (point 0 is the scratch point of the interpolated percentage rows).
// They only grow: entries inside the old extent keep their values, new entries are zero, so
// that a reader may grow a table as it learns the counts and a later system of the same
// file finds what an earlier one left. Indexing is unchecked in release builds, like the
// arrays before them; debug builds assert the extent.

#include <cassert>
#include <cstddef>
#include <vector>

namespace tarvolin {

// Entries 0..size() of one index.
template <class T>
class Column {
 public:
  int size() const { return static_cast<int>(data_.size()) - 1; }
  // Makes entries 0..n exist.
  void grow(int n) {
    if (n > size()) data_.resize(static_cast<std::size_t>(n) + 1);
  }

  T& operator[](int i) {
    assert(i >= 0 && i <= size());
    return data_[static_cast<std::size_t>(i)];
  }
  const T& operator[](int i) const {
    assert(i >= 0 && i <= size());
    return data_[static_cast<std::size_t>(i)];
  }

 private:
  std::vector<T> data_;
};

// Rows 0..rows() of columns 0..columns(), stored row after row: t[r] is row r as an array,
// t[r][c] its entry c.
template <class T>
class Table {
 public:
  int rows() const { return rows_; }
  int columns() const { return columns_; }

  // Makes rows 0..rows and columns 0..columns exist. More rows only append; more columns lay
  // the table out again.
  void grow(int rows, int columns) {
    if (columns > columns_) {
      const int keptRows = rows_;
      const std::size_t oldStride = stride();
      std::vector<T> old;
      old.swap(data_);
      columns_ = columns;
      rows_ = rows > rows_ ? rows : rows_;
      data_.resize(static_cast<std::size_t>(rows_ + 1) * stride());
      for (int r = 0; r <= keptRows; ++r)
        for (std::size_t c = 0; c < oldStride; ++c)
          data_[static_cast<std::size_t>(r) * stride() + c] = old[r * oldStride + c];
    } else if (rows > rows_) {
      rows_ = rows;
      data_.resize(static_cast<std::size_t>(rows_ + 1) * stride());
    }
  }

  T* operator[](int r) {
    assert(r >= 0 && r <= rows_);
    return data_.data() + static_cast<std::size_t>(r) * stride();
  }
  const T* operator[](int r) const {
    assert(r >= 0 && r <= rows_);
    return data_.data() + static_cast<std::size_t>(r) * stride();
  }

 private:
  std::size_t stride() const { return static_cast<std::size_t>(columns_ + 1); }

  int rows_ = -1;
  int columns_ = -1;
  std::vector<T> data_;
};

}  // namespace tarvolin
