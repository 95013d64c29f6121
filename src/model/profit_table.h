#pragma once
// ProfitTable: the profit of each of the 8 projects (rows 1..8) at the 10 investment
// levels 0, 1/9, ... 9/9 of the budget (columns 0..9), interpolated linearly between the
// levels. Loaded once from a text file of 80 numbers, project by project.
//
// With row k = 0, 1, 2, ... 9: ProjectProfit(k, 0.3f) = 2.70000005 (pattern 402ccccd).
// With every row 0, 10, ... 90 and every share 0.125: TotalProfit = 90.

#include <cstdint>

#include "model/allocation.h"
#include "runtime/checked.h"
#include "runtime/fpu.h"

struct ProfitTable {
  CheckedArray<CheckedArray<float, 0, 9>, 1, 8> entries;

  // Reads 80 reals into entries [1, 0], [1, 1], ... [8, 9], each rounded to float. Missing
  // numbers leave 0; a failure to open, a malformed number (106) or one beyond the float
  // range (205) stops the run, with the entries read before it stored.
  void Load(const char* fileName);

  // The interpolated profit of project k (1..8) at share x: t = 9x, i = trunc(t) (0..255,
  // checked), f = t - i rounded to float, then (1 - f) * entry[k, i] + f * entry[k, i + 1]
  // in extended precision, rounded to float; at i = 9 the last column serves as both.
  float ProjectProfit(int k, float x) const {
    float profit = ProjectProfitDeferred(k, x);
    FpuCheckpoint();
    return profit;
  }

  // The sum of the 8 project profits, rounded to float after every addition.
  float TotalProfit(AllocationVector v) const {
    float sum = 0.0f;
    for (int k = 1; k <= 8; ++k) sum = ProjectProfitDeferred(k, v[k]) + sum;
    FpuCheckpoint();
    return sum;
  }

 private:
  // ProjectProfit without the final fwait: a fault of the extended blend surfaces at the
  // caller's next checkpoint (or the next x87 instruction).
  float ProjectProfitDeferred(int k, float x) const {
    const CheckedArray<float, 0, 9>& row = entries[k];
    // 9x has at most 28 significant bits: exact in a double, and so is t - i.
    double t = static_cast<double>(x) * 9.0;
    int i = TruncateLevel(t);
    float f = static_cast<float>(t - i);
    float here = row[i];
    float next = i + 1 <= 9 ? row[i + 1] : here;
    return Blend(f, here, next);
  }

  // (1 - f) * a + f * b, computed in extended precision and rounded once to float.
  // (1 - f) * a may need more than 53 bits, so a double would round it early.
  static float Blend(float f, float a, float b) {
    long double weight = 1.0L - f;
    return static_cast<float>(weight * a + static_cast<long double>(f) * b);
  }

  // t truncated toward zero, which must lie in 0..255: t in (-1, 256). Anything else
  // stops the run (201, or 207 where the truncation itself is invalid).
  static int TruncateLevel(double t) {
    if (__builtin_isgreater(t, -1.0) && __builtin_isless(t, 256.0)) [[likely]]
      return static_cast<int>(t);
    return TruncateToByteSlow(t);
  }
};
