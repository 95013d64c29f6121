#pragma once
// The interpolated profit as its formula reads, every step in extended precision: the
// reference the table's fast path must match bit for bit.

#include <cmath>

#include "model/profit_table.h"
#include "runtime/fpu.h"

inline float PlainExtendedProfit(const ProfitTable& table, int k, float x) {
  long double t = x * 9.0L;
  long double whole = std::trunc(t);
  int i = static_cast<int>(whole);
  float f = ToFloat(t - whole);
  float here = table.entries[k][i];
  float next = i + 1 <= 9 ? table.entries[k][i + 1] : here;
  return ToFloat((1.0L - f) * here + static_cast<long double>(f) * next);
}
