#include "app/column_table.h"

#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"

ColumnTable& ColumnTable::Add(std::string_view text) {
  if (building_ == 0) {
    ++rows_;
    counts_[rows_] = 0;
  }
  ++building_;
  cells_[rows_][building_] = Cell();
  cells_[rows_][building_].Add(text);
  counts_[rows_] = building_;
  return *this;
}

void ColumnTable::EndRow() { building_ = 0; }

void ColumnTable::Write() const {
  CheckedArray<int, 1, kMostColumns> widths = {};
  for (int row = 1; row <= rows_; ++row)
    for (int column = 1; column <= counts_[row]; ++column)
      if (cells_[row][column].Length() > widths[column])
        widths[column] = cells_[row][column].Length();
  for (int row = 1; row <= rows_; ++row) {
    for (int column = 1; column <= counts_[row]; ++column) {
      std::string_view text = cells_[row][column].View();
      if (column == 1) {
        WriteText(text);
        // The blanks after the first column's text, then the gap.
        for (int pad = cells_[row][column].Length(); pad < widths[column]; ++pad) WriteChar(' ');
      } else {
        WriteText("  ");
        WriteText(text, widths[column]);
      }
    }
    WriteLineEnd();
    CheckIOResult();
  }
}
