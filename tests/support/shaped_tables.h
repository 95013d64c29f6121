#pragma once
// Profit tables of a known shape, whose profits a test can work out by hand:
//
//   WorkedTable()      entry [k, j] = k + j * (10 - j)
//   FlatTable(2.5f)    every allocation has the profit 8 * 2.5 = 20
//   FirstShareTable()  profit 9 * share 1, so allocations rank by their first share

#include "model/profit_table.h"

inline ProfitTable WorkedTable() {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = static_cast<float>(k + j * (10 - j));
  return table;
}

inline ProfitTable FlatTable(float entry) {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = entry;
  return table;
}

inline ProfitTable FirstShareTable() {
  ProfitTable table{};
  for (int j = 0; j <= 9; ++j) table.entries[1][j] = static_cast<float>(j);
  return table;
}
