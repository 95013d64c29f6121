#pragma once
// The planner's answers for one table, computed once for whichever layout prints them:
// the best allocation (within bounds, when there are any), what one more ninth of the
// budget would add to each project there, the current split's own figures, and the best
// allocation of every total of 0..9 ninths.
//
// Every profit is the one allocate computes for the shares as printed: the levels / 9
// rounded to float, then TotalProfit (ProjectProfit for one project). Without bounds
// the best allocation is BestNinths' own, so allocate-optimum and allocate --optimum
// print the same figures.
//
// With examples/function.txt and no bounds: best.profit 100.42, best.levels
// (1, 1, 1, 1, 1, 1, 2, 1); nextNinth[7] the step from 18.89 to 25.33, 6.44.

#include "model/allocation.h"
#include "model/profit_table.h"
#include "search/bounded_optimum.h"

struct PlanRequest {
  bool bounded = false;  // bounds holds something else than OpenBounds()
  LevelBounds bounds = OpenBounds();
  bool hasCurrent = false;
  Levels current = {};
  bool frontier = false;
};

// One allocation as the reports show it.
struct PlannedAllocation {
  bool found = false;
  Levels levels = {};
  AllocationVector shares = {};
  float profit = 0.0f;
  CheckedArray<float, 1, 8> projectProfits = {};
};

struct Plan {
  PlannedAllocation best;
  CheckedArray<float, 1, 8> nextNinth = {};  // nextNinthHas[k] false: beyond level 9
  CheckedArray<bool, 1, 8> nextNinthHas = {};
  PlannedAllocation current;                            // request.hasCurrent
  CheckedArray<PlannedAllocation, 0, 9> frontier = {};  // request.frontier
};

// The exact best allocation without bounds: BestNinths, its shares and their profit.
PlannedAllocation ExactOptimum(const ProfitTable& table);

// Everything the request asks for. A profit beyond the float range stops the run (205).
Plan MakePlan(const ProfitTable& table, const PlanRequest& request);
