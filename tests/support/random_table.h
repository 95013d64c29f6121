#pragma once
// Random profit tables for the suites that check a search against brute force, of three
// kinds (0, 1, 2): any reals, small integers (many equal profits, so the order among
// equals decides), and rising concave rows like the example's.
//
//   std::mt19937 gen(7);
//   for (int kind = 0; kind < 3; ++kind) Check(RandomTable(gen, kind));

#include <cmath>
#include <random>

#include "model/profit_table.h"

inline ProfitTable RandomTable(std::mt19937& gen, int kind) {
  std::uniform_real_distribution<float> real(-50.0f, 50.0f);
  std::uniform_int_distribution<int> small(-2, 2);
  std::uniform_real_distribution<float> scale(5.0f, 50.0f), rate(0.5f, 6.0f);
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k) {
    float a = scale(gen), b = rate(gen);
    for (int j = 0; j <= 9; ++j) {
      switch (kind) {
        case 0:
          table.entries[k][j] = real(gen);
          break;
        case 1:
          table.entries[k][j] = static_cast<float>(small(gen));
          break;
        default:
          table.entries[k][j] = a * (1.0f - std::exp(-b * j / 9.0f));
          break;
      }
    }
  }
  return table;
}
