#include "search/plan.h"

#include "model/progress.h"
#include "search/optimum.h"

namespace {

// The shares and profits of an allocation given in levels.
PlannedAllocation Planned(const ProfitTable& table, const Levels& levels) {
  PlannedAllocation planned;
  planned.found = true;
  planned.levels = levels;
  for (int k = 1; k <= 8; ++k) planned.shares[k] = ToFloat(levels[k] / Extended(9.0));
  planned.profit = table.TotalProfit(planned.shares);
  for (int k = 1; k <= 8; ++k)
    planned.projectProfits[k] = table.ProjectProfit(k, planned.shares[k]);
  return planned;
}

}  // namespace

PlannedAllocation ExactOptimum(const ProfitTable& table) {
  // Noted, so that a stop names the step it came from rather than the table's last entry.
  NoteActivity(Activity::kSearching);
  Ninths ninths = BestNinths(table);
  Levels levels;
  for (int k = 1; k <= 8; ++k) levels[k] = Extended::FromInt(ninths[k]);
  NoteActivity(Activity::kTotalling);
  return Planned(table, levels);
}

Plan MakePlan(const ProfitTable& table, const PlanRequest& request) {
  Plan plan;
  // 1. The best of each total, when asked for; its 9/9 row is the best allocation within
  //    the bounds, the very one BestWithin finds.
  Frontier rows;
  if (request.frontier) {
    NoteActivity(Activity::kSearching);
    rows = BestForEachTotal(table, request.bounds);
  }
  // 2. The best allocation of the whole budget; without bounds, allocate-optimum's own.
  if (request.bounded) {
    NoteActivity(Activity::kSearching);
    BoundedBest best = request.frontier ? rows[9] : BestWithin(table, request.bounds);
    NoteActivity(Activity::kTotalling);
    if (best.found) plan.best = Planned(table, best.levels);
  } else {
    plan.best = ExactOptimum(table);
  }
  // 3. One more ninth to each project there.
  if (plan.best.found) {
    for (int k = 1; k <= 8; ++k) {
      NinthGain gain = NextNinthGain(table, k, plan.best.levels[k]);
      plan.nextNinthHas[k] = gain.has;
      plan.nextNinth[k] = gain.has ? ToFloat(gain.gain) : 0.0f;
    }
  }
  // 4. The split as it stands, and the frontier's shares and profits.
  NoteActivity(Activity::kTotalling);
  if (request.hasCurrent) plan.current = Planned(table, request.current);
  if (request.frontier) {
    for (int total = 0; total <= 9; ++total) {
      if (rows[total].found) plan.frontier[total] = Planned(table, rows[total].levels);
    }
  }
  return plan;
}
