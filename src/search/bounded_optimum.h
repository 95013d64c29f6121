#pragma once
// The exact best allocation of a profit table when each project's share is held between a
// floor and a cap, and the best allocation of every smaller total of ninths.
//
// Positions are counted in levels: a share times 9, so level j of the table is j exactly
// and a share of 0.15 is level 1.35. Bounds need not be whole levels.
//
// Why the search is exact: each project's profit is linear between two neighbouring
// points of its own, where its points are the whole levels inside its bounds and the two
// bounds themselves. Over the box of such cells cut by the plane "the levels add up to
// the total" the profit is linear, so a best allocation lies at a vertex, where every
// project but one sits on one of its points. The search tries, for each project as the
// one that takes the rest, every way of putting the others on a bound or on whole levels;
// the best whole levels of any set of projects for any count of ninths come from a
// knapsack over the 256 sets. With every bound on a whole level no project needs the rest
// and the knapsack alone answers, with the same sums and the same choice among equals as
// BestNinths: the fewest ninths to project 1, then to project 2, and so on.
//
// examples/function.txt with project 3 locked at level 1.35, project 7 at least 2.7 and
// project 8 at most 0.72: the best levels are (1, 1, 1.35, 0.08, 1, 1, 2.7, 0.72), profit
// 94.97, project 4 taking the rest. Without bounds, (1, 1, 1, 1, 1, 1, 2, 1), 100.42.

#include <cstdint>

#include "model/profit_table.h"
#include "runtime/arith/extended.h"
#include "runtime/core/checked.h"

// One value per project, 1..8, in levels.
using Levels = CheckedArray<Extended, 1, 8>;

// A floor and a cap per project, in levels: 0 <= low[k] <= high[k] <= 9.
struct LevelBounds {
  Levels low;
  Levels high;
};

// Every project free from 0 to 9.
LevelBounds OpenBounds();

// Whether some bound lies off a whole level.
bool HasPartBounds(const LevelBounds& bounds);

// The best allocation of `total` levels: found is false when the bounds leave none (the
// floors add up to more, or the caps to less). profit is the sum of the projects'
// profits in extended precision.
struct BoundedBest {
  bool found;
  Extended profit;
  Levels levels;
};

BoundedBest BestWithin(const ProfitTable& table, const LevelBounds& bounds, int total = 9);

// The best allocation of each total of 0..9 levels within the same bounds; row 9 is
// BestWithin's.
using Frontier = CheckedArray<BoundedBest, 0, 9>;
Frontier BestForEachTotal(const ProfitTable& table, const LevelBounds& bounds);

// The profit of project k at level t (0 <= t <= 9), interpolated in extended precision
// between the table's entries: entry [k, j] itself at a whole level j.
Extended LevelProfit(const ProfitTable& table, int k, Extended t);

// What one more ninth of the budget adds to project k's profit at level t; has is false
// where t + 1 lies beyond the table's last level.
struct NinthGain {
  bool has;
  Extended gain;
};
NinthGain NextNinthGain(const ProfitTable& table, int k, Extended t);

// Whether t is a whole level, and which.
bool IsWholeLevel(Extended t);

// Two sums of levels this close count as equal: far above the rounding of a sum of 8
// levels in extended precision, far below a cent of any budget the programs take.
inline const Extended kLevelSlack = Extended(0x1p-50);
