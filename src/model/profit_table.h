#pragma once
// ProfitTable: the profit of each of the 8 projects (rows 1..8) at the 10 investment
// levels 0, 1/9, ... 9/9 of the budget (columns 0..9), interpolated linearly between the
// levels. Loaded once from a text file of 80 numbers, project by project.
//
// With row k = 0, 1, 2, ... 9: ProjectProfit(k, 0.3f) = 2.70000005 (pattern 402ccccd).
// With every row 0, 10, ... 90 and every share 0.125: TotalProfit = 90.

#include <cstdint>

#include "model/allocation.h"
#include "runtime/core/checked.h"

// The entries that held no digit (".", "-.", "e5", "+.e-5"): 0 by the file's rules, and
// kept so, as a stored table may mark an empty cell with "."; but "e5" for "1e5" is a
// slip that would pass unseen, so the first few are kept to be named, and all counted.
struct DigitlessEntry {
  uint8_t project;                  // 1..8
  uint8_t level;                    // 0..9
  CheckedArray<char, 0, 15> token;  // its first bytes, as the input noted them
  uint8_t length;                   // its whole length (up to 64)
};
inline constexpr int kNamedDigitless = 3;
struct DigitlessEntries {
  int count;  // 0..80
  CheckedArray<DigitlessEntry, 1, kNamedDigitless> first;
};

struct ProfitTable {
  CheckedArray<CheckedArray<float, 0, 9>, 1, 8> entries;
  DigitlessEntries digitless;  // of the last Load

  // Reads 80 reals into entries [1, 0], [1, 1], ... [8, 9], each rounded to float. Missing
  // numbers leave 0; a failure to open, a malformed number (106) or one beyond the float
  // range (205) stops the run, with the entries read before it stored. Returns how many
  // numbers the file held, up to 80. digitless names the entries read from a token
  // without digits (an entry past the end of the data is none).
  int Load(const char* fileName);

  // The interpolated profit of project k (1..8) at share x: t = 9x, i = trunc(t) (0..255,
  // checked), f = t - i rounded to float, then (1 - f) * entry[k, i] + f * entry[k, i + 1]
  // in extended precision, rounded to float; at i = 9 the last column serves as both.
  float ProjectProfit(int k, float x) const;

  // The sum of the 8 project profits in project order, rounded to float after every
  // addition. A pure function of the table and the shares.
  float TotalProfit(const AllocationVector& v) const;
};
