#include "search/optimum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "extended_values.h"
#include "random_table.h"

namespace {

// The profit of a grid allocation, added in the solver's order: project 8 first.
Extended GridProfit(const ProfitTable& table, const Ninths& n) {
  Extended sum(table.entries[8][n[8]]);
  for (int k = 7; k >= 1; --k) sum = static_cast<Extended>(table.entries[k][n[k]]) + sum;
  return sum;
}

struct Enumerated {
  Ninths best;
  Extended profit;
  int count;
};

// Every allocation of 9 ninths in ascending order of (n1, ... n8); the first best kept.
Enumerated BruteForce(const ProfitTable& table) {
  Enumerated result{{}, -kXInfinity, 0};
  Ninths n{};
  std::function<void(int, int)> visit = [&](int k, int left) {
    if (k == 8) {
      n[8] = static_cast<uint8_t>(left);
      ++result.count;
      Extended profit = GridProfit(table, n);
      if (profit > result.profit) {
        result.profit = profit;
        result.best = n;
      }
      return;
    }
    for (int j = 0; j <= left; ++j) {
      n[k] = static_cast<uint8_t>(j);
      visit(k + 1, left - j);
    }
  };
  visit(1, 9);
  return result;
}

std::string Show(const Ninths& n) {
  std::string text;
  for (int k = 1; k <= 8; ++k) text += std::to_string(n[k]) + " ";
  return text;
}

TEST(BestNinthsTest, MatchesEveryGridAllocationTried) {
  std::mt19937 gen(20261207);
  for (int kind = 0; kind < 3; ++kind) {
    for (int round = 0; round < 150; ++round) {
      const ProfitTable table = RandomTable(gen, kind);
      const Enumerated all = BruteForce(table);
      ASSERT_EQ(all.count, 11440);
      const Ninths best = BestNinths(table);
      int sum = 0;
      for (int k = 1; k <= 8; ++k) sum += best[k];
      ASSERT_EQ(sum, 9);
      ASSERT_EQ(Show(best), Show(all.best)) << "kind " << kind << " round " << round;
      ASSERT_EQ(GridProfit(table, best), all.profit);
    }
  }
}

// The largest possible error of TotalProfit on this table, and then some: each of the
// 8 blends and 8 additions rounds once, and a normalised vector's shares may add up to
// a few units in the last place more than 1.
float Rounding(const ProfitTable& table) {
  float reach = 0;
  for (int k = 1; k <= 8; ++k) {
    float top = 0;
    for (int j = 0; j <= 9; ++j) top = std::max(top, std::fabs(table.entries[k][j]));
    reach += top;
  }
  return reach * 0x1p-16f;
}

AllocationVector RandomAllocation(std::mt19937& gen, const AllocationVector& near) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::uniform_int_distribution<int> shape(0, 2);
  AllocationVector v;
  int form = shape(gen);
  for (int k = 1; k <= 8; ++k) {
    switch (form) {
      case 0:
        v[k] = unit(gen);
        break;  // spread
      case 1:
        v[k] = unit(gen) < 0.3f ? unit(gen) : 0.0f;
        break;  // few projects
      default:
        v[k] = near[k] + 0.1f * (unit(gen) - 0.5f);
        break;  // around the optimum
    }
  }
  v[1 + static_cast<int>(gen() % 8)] += 0.01f;  // never all zero
  Normalize(v);
  return v;
}

TEST(BestNinthsTest, NoContinuousAllocationDoesBetter) {
  std::mt19937 gen(7);
  for (int kind = 0; kind < 3; ++kind) {
    for (int round = 0; round < 40; ++round) {
      const ProfitTable table = RandomTable(gen, kind);
      const AllocationVector optimum = SharesOf(BestNinths(table));
      const float best = table.TotalProfit(optimum);
      const float slack = Rounding(table);
      for (int n = 0; n < 2000; ++n) {
        AllocationVector v = RandomAllocation(gen, optimum);
        ASSERT_LE(table.TotalProfit(v), best + slack) << "kind " << kind << " round " << round;
      }
    }
  }
}

}  // namespace
