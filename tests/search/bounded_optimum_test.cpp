#include "search/bounded_optimum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "random_table.h"
#include "search/optimum.h"

namespace {

// A share as the options give it, in levels: 9 times a float share.
Extended LevelOf(float share) { return Extended(9.0) * Extended(share); }

// Bounds of every kind a planner gives: none, a floor, a cap, both, a lock, whole levels.
// At most two projects are left open, so that brute force stays quick.
LevelBounds RandomBounds(std::mt19937& gen, bool wholeOnly) {
  std::uniform_real_distribution<float> floor(0.0f, 0.35f), width(0.0f, 0.45f);
  std::uniform_int_distribution<int> kind(0, 5), level(0, 3), span(0, 4);
  LevelBounds bounds = OpenBounds();
  int open = 0;
  for (int k = 1; k <= 8; ++k) {
    int shape = kind(gen);
    if (shape == 0 && ++open > 2) shape = 3;
    if (wholeOnly || shape == 5) {
      int low = level(gen);
      bounds.low[k] = Extended::FromInt(low);
      bounds.high[k] = Extended::FromInt(std::min(9, low + span(gen)));
      continue;
    }
    float low = floor(gen);
    switch (shape) {
      case 1:
        bounds.low[k] = LevelOf(low);
        bounds.high[k] = LevelOf(std::min(1.0f, low + 0.4f));
        break;
      case 2:
        bounds.high[k] = LevelOf(0.05f + width(gen));
        break;
      case 3:
        bounds.low[k] = LevelOf(low);
        bounds.high[k] = LevelOf(low + width(gen));
        break;
      case 4:
        bounds.low[k] = bounds.high[k] = LevelOf(low);
        break;
      default:
        break;
    }
  }
  return bounds;
}

// The profit of an allocation, project by project.
Extended ProfitOf(const ProfitTable& table, const Levels& levels) {
  Extended sum;
  for (int k = 1; k <= 8; ++k) sum = sum + LevelProfit(table, k, levels[k]);
  return sum;
}

// The profit of an allocation on whole levels as the knapsack adds it: project 8 first.
Extended GridProfit(const ProfitTable& table, const Levels& levels) {
  Extended sum = Extended(table.entries[8][TruncateToByte(levels[8])]) + Extended();
  for (int k = 7; k >= 1; --k) sum = Extended(table.entries[k][TruncateToByte(levels[k])]) + sum;
  return sum;
}

// What two sums of the same profits in another order may differ by.
Extended Tolerance(const ProfitTable& table) {
  float reach = 0;
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) reach = std::max(reach, std::fabs(table.entries[k][j]));
  return Extended(reach) * Extended(0x1p-52);
}

bool Near(Extended a, Extended b, Extended tolerance) {
  Extended d = a - b;
  return d <= tolerance && -d <= tolerance;
}

std::string Show(const Levels& levels) {
  std::string text;
  for (int k = 1; k <= 8; ++k) text += std::to_string(levels[k].RoundToDouble()) + " ";
  return text;
}

struct Enumerated {
  bool found = false;
  Extended profit;
  Levels levels;
  long count = 0;
};

// Every allocation of `total` levels with one project taking the rest and each other one
// on one of its points: a whole level inside its bounds, or a bound.
Enumerated BruteForce(const ProfitTable& table, const LevelBounds& bounds, int total) {
  CheckedArray<std::vector<Extended>, 1, 8> points;
  for (int k = 1; k <= 8; ++k) {
    points[k] = {bounds.low[k], bounds.high[k]};
    for (int j = 0; j <= 9; ++j) {
      Extended t = Extended::FromInt(j);
      if (t > bounds.low[k] && t < bounds.high[k]) points[k].push_back(t);
    }
  }
  Enumerated result;
  Levels levels;
  for (int rest = 1; rest <= 8; ++rest) {
    std::function<void(int, Extended)> visit = [&](int k, Extended sum) {
      if (k > 8) {
        Extended t = Extended::FromInt(total) - sum;
        if (t < bounds.low[rest] - kLevelSlack || t > bounds.high[rest] + kLevelSlack) return;
        levels[rest] = std::clamp(t, bounds.low[rest], bounds.high[rest],
                                  [](Extended a, Extended b) { return a < b; });
        ++result.count;
        Extended profit = ProfitOf(table, levels);
        if (!result.found || profit > result.profit) result = {true, profit, levels, result.count};
        return;
      }
      if (k == rest) return visit(k + 1, sum);
      for (Extended t : points[k]) {
        levels[k] = t;
        visit(k + 1, sum + t);
      }
    };
    visit(1, Extended());
  }
  return result;
}

// Within the bounds and adding up to the total.
void ExpectAllocationHolds(const LevelBounds& bounds, const BoundedBest& best, int total) {
  Extended sum;
  for (int k = 1; k <= 8; ++k) {
    EXPECT_TRUE(best.levels[k] >= bounds.low[k] && best.levels[k] <= bounds.high[k])
        << "project " << k << ": " << Show(best.levels);
    sum = sum + best.levels[k];
  }
  EXPECT_TRUE(Near(sum, Extended::FromInt(total), kLevelSlack)) << Show(best.levels);
}

// The check that matters most: the shapes the search tries hold the best allocation that
// any placement of the projects on their points gives, with bounds anywhere.
TEST(BestWithinTest, MatchesBruteForceWithBoundsOffTheLevels) {
  std::mt19937 gen(20261208);
  int found = 0, empty = 0;
  for (int kind = 0; kind < 3; ++kind) {
    for (int round = 0; round < 60; ++round) {
      SCOPED_TRACE("kind " + std::to_string(kind) + " round " + std::to_string(round));
      const ProfitTable table = RandomTable(gen, kind);
      const LevelBounds bounds = RandomBounds(gen, false);
      const Frontier frontier = BestForEachTotal(table, bounds);
      for (int total = round % 3 == 0 ? 0 : 9; total <= 9; ++total) {
        SCOPED_TRACE("total " + std::to_string(total));
        const Enumerated all = BruteForce(table, bounds, total);
        const BoundedBest best = BestWithin(table, bounds, total);
        ASSERT_EQ(best.found, all.found);
        ASSERT_EQ(frontier[total].found, all.found);
        if (!all.found) {
          ++empty;
          continue;
        }
        ++found;
        const Extended tolerance = Tolerance(table);
        ExpectAllocationHolds(bounds, best, total);
        EXPECT_TRUE(Near(best.profit, all.profit, tolerance))
            << best.profit.RoundToDouble() << " against " << all.profit.RoundToDouble() << " at "
            << Show(all.levels);
        EXPECT_TRUE(Near(ProfitOf(table, best.levels), best.profit, tolerance));
        EXPECT_EQ(Show(frontier[total].levels), Show(best.levels));
      }
    }
  }
  // Both outcomes met often enough to mean something.
  EXPECT_GT(found, 150);
  EXPECT_GT(empty, 20);
}

// With every bound on a whole level the best is a grid allocation: the first best one in
// ascending order of (n1, ... n8), exactly, among every grid allocation within the bounds.
TEST(BestWithinTest, WholeLevelBoundsGiveTheFirstBestGridAllocation) {
  std::mt19937 gen(99);
  for (int kind = 0; kind < 3; ++kind) {
    for (int round = 0; round < 60; ++round) {
      const ProfitTable table = RandomTable(gen, kind);
      const LevelBounds bounds = RandomBounds(gen, true);
      ASSERT_FALSE(HasPartBounds(bounds));
      const Frontier frontier = BestForEachTotal(table, bounds);
      for (int total = 0; total <= 9; ++total) {
        SCOPED_TRACE("kind " + std::to_string(kind) + " round " + std::to_string(round) +
                     " total " + std::to_string(total));
        // Every grid allocation in ascending order, the first best kept.
        Enumerated all;
        Levels n;
        std::function<void(int, int)> visit = [&](int k, int left) {
          if (k == 8) {
            n[8] = Extended::FromInt(left);
            for (int i = 1; i <= 8; ++i)
              if (n[i] < bounds.low[i] || n[i] > bounds.high[i]) return;
            Extended profit = GridProfit(table, n);
            if (!all.found || profit > all.profit) all = {true, profit, n, 0};
            return;
          }
          for (int j = 0; j <= left; ++j) {
            n[k] = Extended::FromInt(j);
            visit(k + 1, left - j);
          }
        };
        visit(1, total);
        ASSERT_EQ(frontier[total].found, all.found);
        if (!all.found) continue;
        // Summed in the same order, so equal profits (frequent in the integer tables) are
        // equal here too, and the order among them must hold exactly.
        EXPECT_EQ(Show(frontier[total].levels), Show(all.levels));
        EXPECT_TRUE(frontier[total].profit == all.profit);
      }
    }
  }
}

// Without bounds the search is allocate-optimum's own: the same allocation, the same sum.
TEST(BestWithinTest, OpenBoundsGiveBestNinthsExactly) {
  std::mt19937 gen(5);
  for (int kind = 0; kind < 3; ++kind) {
    for (int round = 0; round < 100; ++round) {
      const ProfitTable table = RandomTable(gen, kind);
      const BoundedBest best = BestWithin(table, OpenBounds());
      const Ninths ninths = BestNinths(table);
      ASSERT_TRUE(best.found);
      Extended grid(table.entries[8][ninths[8]]);
      for (int k = 7; k >= 1; --k) grid = Extended(table.entries[k][ninths[k]]) + grid;
      for (int k = 1; k <= 8; ++k) ASSERT_TRUE(best.levels[k] == Extended::FromInt(ninths[k]));
      ASSERT_TRUE(best.profit == grid);
    }
  }
}

// Independent of why the shapes suffice: no allocation drawn at random within the bounds
// does better than the one found.
TEST(BestWithinTest, NoRandomAllocationWithinTheBoundsDoesBetter) {
  std::mt19937 gen(31);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  int tried = 0;
  for (int kind = 0; kind < 3; ++kind) {
    for (int round = 0; round < 30; ++round) {
      const ProfitTable table = RandomTable(gen, kind);
      const LevelBounds bounds = RandomBounds(gen, false);
      const BoundedBest best = BestWithin(table, bounds);
      if (!best.found) continue;
      const Extended tolerance = Tolerance(table);
      for (int n = 0; n < 500; ++n) {
        // Each project a random point of its range, then the excess or the shortfall
        // moved through the projects in a random order while their bounds allow it.
        Levels levels;
        Extended sum;
        for (int k = 1; k <= 8; ++k) {
          levels[k] = bounds.low[k] + (bounds.high[k] - bounds.low[k]) * Extended(unit(gen));
          sum = sum + levels[k];
        }
        Extended excess = sum - Extended(9.0);
        int start = static_cast<int>(gen() % 8);
        for (int i = 0; i < 8; ++i) {
          int k = 1 + (start + i) % 8;
          Extended move = excess;
          if (excess > Extended()) {
            Extended room = levels[k] - bounds.low[k];
            if (room < move) move = room;
          } else {
            Extended room = levels[k] - bounds.high[k];  // at most 0
            if (room > move) move = room;
          }
          levels[k] = levels[k] - move;
          excess = excess - move;
        }
        if (!Near(excess, Extended(), kLevelSlack)) continue;
        ++tried;
        ASSERT_TRUE(ProfitOf(table, levels) <= best.profit + tolerance) << Show(levels);
      }
    }
  }
  EXPECT_GT(tried, 10000);
}

TEST(NextNinthGainTest, IsTheTableStepAndEndsAtTheLastLevel) {
  ProfitTable table{};
  for (int j = 0; j <= 9; ++j) table.entries[2][j] = static_cast<float>(j * j);
  struct Row {
    double level;
    bool has;
    double gain;
  } const rows[] = {
      {0.0, true, 1.0},   // 0 -> 1
      {3.0, true, 7.0},   // 9 -> 16
      {1.5, true, 4.0},   // 2.5 -> 6.5: halfway along two steps
      {8.0, true, 17.0},  // 64 -> 81
      {8.5, false, 0.0},  // beyond the budget
      {9.0, false, 0.0},
  };
  for (const Row& row : rows) {
    NinthGain gain = NextNinthGain(table, 2, Extended(row.level));
    EXPECT_EQ(gain.has, row.has) << row.level;
    if (row.has) {
      EXPECT_EQ(gain.gain.RoundToDouble(), row.gain) << row.level;
    }
  }
}

TEST(LevelProfitTest, IsTheEntryOnAWholeLevelAndLinearBetween) {
  ProfitTable table{};
  for (int j = 0; j <= 9; ++j) table.entries[5][j] = static_cast<float>(10 * j - j * j);
  EXPECT_TRUE(LevelProfit(table, 5, Extended(4.0)) == Extended(24.0f));
  EXPECT_TRUE(LevelProfit(table, 5, Extended(9.0)) == Extended(9.0f));
  EXPECT_EQ(LevelProfit(table, 5, Extended(4.25)).RoundToDouble(), 24.25);  // 24 -> 25
  EXPECT_TRUE(IsWholeLevel(Extended(7.0)));
  EXPECT_FALSE(IsWholeLevel(Extended(7.5)));
}

}  // namespace
