#include "search/bounded_optimum.h"

namespace {

// A set of projects: bit k - 1 for project k.
constexpr int kAllProjects = 255;

int Bit(int k) { return 1 << (k - 1); }

// The lowest project of a non-empty set.
int LowestProject(int set) {
  int k = 1;
  while ((set & Bit(k)) == 0) ++k;
  return k;
}

// The whole levels inside a project's bounds; empty when first > last.
struct WholeRange {
  int first;
  int last;
};

WholeRange WholeLevelsWithin(Extended low, Extended high) {
  int first = TruncateToByte(low);
  if (Extended::FromInt(first) < low) ++first;
  return {first, TruncateToByte(high)};
}

// best[set][n]: the highest profit of the projects of `set` on whole levels that add up to
// n, each within its bounds; has[set][n] whether any such levels exist.
struct WholeKnapsack {
  CheckedArray<CheckedArray<Extended, 0, 9>, 0, kAllProjects> best;
  CheckedArray<CheckedArray<bool, 0, 9>, 0, kAllProjects> has;
  CheckedArray<WholeRange, 1, 8> ranges;
};

// The profit of project k (the lowest of `set`) on level j, then the best of the rest of
// the set with n - j: summed as BestNinths sums, so the full set gives its very values.
Extended WithLevel(const ProfitTable& table, const WholeKnapsack& w, int set, int k, int n, int j) {
  return Extended(table.entries[k][j]) + w.best[set & ~Bit(k)][n - j];
}

bool CanTake(const WholeKnapsack& w, int set, int k, int n, int j) {
  return j >= w.ranges[k].first && j <= w.ranges[k].last && w.has[set & ~Bit(k)][n - j];
}

void FillKnapsack(const ProfitTable& table, const LevelBounds& bounds, WholeKnapsack& w) {
  for (int k = 1; k <= 8; ++k) w.ranges[k] = WholeLevelsWithin(bounds.low[k], bounds.high[k]);
  // 1. The empty set holds nothing, and only nothing.
  for (int n = 0; n <= 9; ++n) {
    w.best[0][n] = Extended();
    w.has[0][n] = n == 0;
  }
  // 2. Each set from its lowest project and the set of the others, which is smaller.
  for (int set = 1; set <= kAllProjects; ++set) {
    int k = LowestProject(set);
    for (int n = 0; n <= 9; ++n) {
      bool has = false;
      Extended top;
      for (int j = 0; j <= n; ++j) {
        if (!CanTake(w, set, k, n, j)) continue;
        Extended profit = WithLevel(table, w, set, k, n, j);
        if (!has || profit > top) top = profit;
        has = true;
      }
      w.best[set][n] = top;
      w.has[set][n] = has;
    }
  }
}

// The whole levels behind best[set][n]: forwards from the lowest project, the fewest that
// still reach the best (the sums are formed as in FillKnapsack, so they compare equal).
void PlaceWholeLevels(const ProfitTable& table, const WholeKnapsack& w, int set, int n,
                      Levels& levels) {
  while (set != 0) {
    int k = LowestProject(set);
    int j = 0;
    while (!CanTake(w, set, k, n, j) || WithLevel(table, w, set, k, n, j) != w.best[set][n]) ++j;
    levels[k] = Extended::FromInt(j);
    set &= ~Bit(k);
    n -= j;
  }
}

bool Precedes(const Levels& a, const Levels& b) {
  for (int k = 1; k <= 8; ++k) {
    if (a[k] != b[k]) return a[k] < b[k];
  }
  return false;
}

// Where each project stands in one shape of allocation.
enum class Place : uint8_t { kWhole, kLow, kHigh, kRest };

// The search over shapes with some bound off the whole levels: one project takes the rest,
// every other one sits on its floor, on its cap, or on whole levels.
class ShapeSearch {
 public:
  ShapeSearch(const ProfitTable& table, const LevelBounds& bounds, const WholeKnapsack& whole,
              int firstTotal, int lastTotal, Frontier& rows)
      : table_(table),
        bounds_(bounds),
        whole_(whole),
        firstTotal_(firstTotal),
        lastTotal_(lastTotal),
        rows_(rows) {
    for (int k = 1; k <= 8; ++k) {
      lowProfit_[k] = LevelProfit(table, k, bounds.low[k]);
      highProfit_[k] = LevelProfit(table, k, bounds.high[k]);
    }
  }

  void Run() {
    for (int rest = 1; rest <= 8; ++rest) {
      rest_ = rest;
      places_[rest] = Place::kRest;
      SumFloors();
      Visit(1, Extended(), Extended(), 0);
    }
  }

 private:
  // floors_[k]: the lowest levels that projects k..8 other than the rest can still take,
  // and the rest's.
  void SumFloors() {
    floors_[9] = bounds_.low[rest_];
    for (int k = 8; k >= 1; --k)
      floors_[k] = k == rest_ ? floors_[k + 1] : floors_[k + 1] + bounds_.low[k];
  }

  // Projects k..8: each way of placing the others; bound holds the sum of the levels on a
  // bound so far, boundProfit their profits, set the projects on whole levels.
  void Visit(int k, Extended bound, Extended boundProfit, int set) {
    if (k > 8) {
      Finish(bound, boundProfit, set);
      return;
    }
    if (k == rest_) {
      Visit(k + 1, bound, boundProfit, set);
      return;
    }
    // Shapes whose floors alone pass the largest total cannot hold.
    if (bound + floors_[k] > Extended::FromInt(lastTotal_) + kLevelSlack) return;
    places_[k] = Place::kWhole;
    Visit(k + 1, bound, boundProfit, set | Bit(k));
    const Extended low = bounds_.low[k], high = bounds_.high[k];
    if (!IsWholeLevel(low)) {
      places_[k] = Place::kLow;
      Visit(k + 1, bound + low, boundProfit + lowProfit_[k], set);
    }
    if (!IsWholeLevel(high) && high != low) {
      places_[k] = Place::kHigh;
      Visit(k + 1, bound + high, boundProfit + highProfit_[k], set);
    }
  }

  // The rest takes d - bound levels for d whole levels of the others and the rest
  // together, each d within the rest's bounds; the others on whole levels take n, and
  // d + n is the total.
  void Finish(Extended bound, Extended boundProfit, int set) {
    const Extended low = bounds_.low[rest_], high = bounds_.high[rest_];
    for (int d = 0; d <= lastTotal_; ++d) {
      Extended t = Extended::FromInt(d) - bound;
      if (t < low - kLevelSlack) continue;
      if (t > high + kLevelSlack) break;
      if (t < low) t = low;
      if (t > high) t = high;
      Extended restProfit = LevelProfit(table_, rest_, t) + boundProfit;
      for (int n = firstTotal_ > d ? firstTotal_ - d : 0; d + n <= lastTotal_; ++n) {
        if (whole_.has[set][n]) Offer(d + n, restProfit + whole_.best[set][n], set, n, t);
      }
    }
  }

  Levels Shape(int set, int n, Extended restLevel) const {
    Levels levels;
    PlaceWholeLevels(table_, whole_, set, n, levels);
    for (int k = 1; k <= 8; ++k) {
      if (places_[k] == Place::kLow) levels[k] = bounds_.low[k];
      if (places_[k] == Place::kHigh) levels[k] = bounds_.high[k];
    }
    levels[rest_] = restLevel;
    return levels;
  }

  // A higher profit wins; among equal ones the allocation first in the order of
  // (t1, ... t8).
  void Offer(int total, Extended profit, int set, int n, Extended restLevel) {
    BoundedBest& row = rows_[total];
    if (row.found && profit < row.profit) return;
    Levels levels = Shape(set, n, restLevel);
    if (row.found && profit == row.profit && !Precedes(levels, row.levels)) return;
    row = {true, profit, levels};
  }

  const ProfitTable& table_;
  const LevelBounds& bounds_;
  const WholeKnapsack& whole_;
  int firstTotal_;
  int lastTotal_;
  Frontier& rows_;
  Levels lowProfit_;
  Levels highProfit_;
  CheckedArray<Place, 1, 8> places_;
  CheckedArray<Extended, 1, 9> floors_;
  int rest_ = 1;
};

Frontier Search(const ProfitTable& table, const LevelBounds& bounds, int firstTotal,
                int lastTotal) {
  Frontier rows;
  for (int total = 0; total <= 9; ++total) rows[total] = {false, Extended(), {}};
  WholeKnapsack whole;
  FillKnapsack(table, bounds, whole);
  if (!HasPartBounds(bounds)) {
    for (int total = firstTotal; total <= lastTotal; ++total) {
      if (!whole.has[kAllProjects][total]) continue;
      BoundedBest& row = rows[total];
      row.found = true;
      row.profit = whole.best[kAllProjects][total];
      PlaceWholeLevels(table, whole, kAllProjects, total, row.levels);
    }
    return rows;
  }
  ShapeSearch(table, bounds, whole, firstTotal, lastTotal, rows).Run();
  return rows;
}

}  // namespace

LevelBounds OpenBounds() {
  LevelBounds bounds;
  for (int k = 1; k <= 8; ++k) {
    bounds.low[k] = Extended();
    bounds.high[k] = Extended(9.0);
  }
  return bounds;
}

bool IsWholeLevel(Extended t) { return t == Extended::FromInt(TruncateToByte(t)); }

bool HasPartBounds(const LevelBounds& bounds) {
  for (int k = 1; k <= 8; ++k) {
    if (!IsWholeLevel(bounds.low[k]) || !IsWholeLevel(bounds.high[k])) return true;
  }
  return false;
}

BoundedBest BestWithin(const ProfitTable& table, const LevelBounds& bounds, int total) {
  return Search(table, bounds, total, total)[total];
}

Frontier BestForEachTotal(const ProfitTable& table, const LevelBounds& bounds) {
  return Search(table, bounds, 0, 9);
}

Extended LevelProfit(const ProfitTable& table, int k, Extended t) {
  const CheckedArray<float, 0, 9>& row = table.entries[k];
  int i = TruncateToByte(t);
  if (i >= 9) return Extended(row[9]);
  Extended f = t - Extended::FromInt(i);
  return (Extended(1.0) - f) * Extended(row[i]) + f * Extended(row[i + 1]);
}

NinthGain NextNinthGain(const ProfitTable& table, int k, Extended t) {
  Extended next = t + Extended(1.0);
  if (next > Extended(9.0) + kLevelSlack) return {false, Extended()};
  if (next > Extended(9.0)) next = Extended(9.0);
  return {true, LevelProfit(table, k, next) - LevelProfit(table, k, t)};
}
