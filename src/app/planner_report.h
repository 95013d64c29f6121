#pragma once
// allocate-optimum's report when the planner's options are given (planner_options.h), and
// the line allocate --optimum adds to its own. Text lines end with CR LF, CSV lines with LF.
//
// The text report: the optimum in the layout of allocate's report (headed "Exact optimum
// within the bounds:" when there are bounds), then a table of the projects: the share
// (a fraction of ninths where it is one, 3 decimals otherwise), the amount to the cent
// with --budget, the project's profit, with --current the current share or amount and
// its profit, with --frontier what one more ninth adds. With --current three lines follow:
// the current profit, the best, the gain and its percent of the current profit. With
// --frontier, the best allocation of each total of 0/9 to 9/9 of the budget, "-" where
// the bounds leave none.
//
//   allocate-optimum --budget 9000 on examples/function.txt:
//   Exact optimum:
//   H:1 F:100.420 W:0.111 0.111 0.111 0.111 0.111 0.111 0.222 0.111
//     Maximum profit: 100.420
//
//   Project  Share   Amount   Profit
//   1          1/9  1000.00   10.870
//   ...
//   Total      9/9  9000.00  100.420
//
// The CSV: allocate-optimum's header and line, with amount1..amount8 after the shares when
// --budget is given, and with --current a second line, "current". With --frontier the
// CSV is the frontier instead: total (k/9), amount with --budget, profit, the shares, the
// amounts, and next1..next8 (what one more ninth adds, on the 9/9 line only); empty
// fields where the bounds leave no allocation.

#include "app/planner_options.h"
#include "search/plan.h"

void WritePlannerReport(const Plan& plan, const PlannerOptions& options);
void WritePlannerCsv(const Plan& plan, const PlannerOptions& options);

// allocate --optimum, below the maximum profit:
//   "  Exact optimum:  100.420 (best found 0.20 % short)"
// The shortfall is (optimum - best found) / |optimum| in percent, 0 when the best found
// reaches it; "-" in place of the percent for an optimum of 0 that was not reached.
void WriteOptimumLine(float optimum, float bestFound);

// allocate --optimum --csv, after the population's lines: "optimum", the profit and the
// shares of the exact best allocation.
void WriteOptimumCsvLine(float profit, const AllocationVector& shares);
