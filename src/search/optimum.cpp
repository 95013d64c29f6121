#include "search/optimum.h"

#include "runtime/arith/extended.h"

namespace {

// best[k][b]: the highest profit of projects k..8 with exactly b ninths among them.
using SuffixBest = CheckedArray<CheckedArray<Extended, 0, 9>, 1, 8>;

// The profit of j ninths to project k followed by the best of the rest with b - j.
Extended WithShare(const ProfitTable& table, const SuffixBest& best, int k, int b, int j) {
  return Extended(table.entries[k][j]) + best[k + 1][b - j];
}

}  // namespace

Ninths BestNinths(const ProfitTable& table) {
  // 1. Project 8 takes whatever is left.
  SuffixBest best;
  for (int b = 0; b <= 9; ++b) best[8][b] = Extended(table.entries[8][b]);
  // 2. Projects 7 down to 1: the best split of b ninths between project k and the rest.
  for (int k = 7; k >= 1; --k) {
    for (int b = 0; b <= 9; ++b) {
      Extended top = WithShare(table, best, k, b, 0);
      for (int j = 1; j <= b; ++j) {
        Extended profit = WithShare(table, best, k, b, j);
        if (profit > top) top = profit;
      }
      best[k][b] = top;
    }
  }
  // 3. Forwards from project 1, the fewest ninths that still reach the best: the first
  //    best allocation in ascending order of (n1, ... n8). The sums are formed as in
  //    step 2, so the one that made the best compares equal to it.
  Ninths ninths;
  int left = 9;
  for (int k = 1; k <= 7; ++k) {
    int j = 0;
    while (WithShare(table, best, k, left, j) != best[k][left]) ++j;
    ninths[k] = static_cast<uint8_t>(j);
    left -= j;
  }
  ninths[8] = static_cast<uint8_t>(left);
  return ninths;
}

AllocationVector SharesOf(const Ninths& ninths) {
  AllocationVector shares;
  for (int k = 1; k <= 8; ++k) shares[k] = ToFloat(Extended::FromInt(ninths[k]) / Extended(9.0));
  return shares;
}
