#pragma once
// A small table of text cells for the reports: the first column aligned left, the others
// right, each as wide as its widest cell, two blanks apart; each line one checked output
// statement ending in CR LF. Built in place, without allocation.
//
//   Project  Share   Profit
//   1          1/9   10.870
//   Total      9/9  100.420

#include <string_view>

#include "runtime/core/checked.h"
#include "runtime/number/fixed_text.h"

class ColumnTable {
 public:
  using Cell = FixedText<64>;  // the widest number a report writes has 42 characters
  static constexpr int kMostRows = 14;
  static constexpr int kMostColumns = 12;

  // The next cell of the row being built.
  ColumnTable& Add(std::string_view text);
  // Ends the row being built.
  void EndRow();
  void Write() const;

  int Rows() const { return rows_; }
  std::string_view At(int row, int column) const { return cells_[row][column].View(); }

 private:
  CheckedArray<CheckedArray<Cell, 1, kMostColumns>, 1, kMostRows> cells_;
  CheckedArray<int, 1, kMostRows> counts_ = {};
  int rows_ = 0;
  int building_ = 0;  // cells in the row being built
};
