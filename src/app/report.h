#pragma once
// Every layout of the results, for both programs: the text report and the comma-separated
// values. A new column or a new output is written here; the search only computes.
//
// The text report (lines end with CR LF):
//   Optimal solution:                         ("Exact optimum:" for allocate-optimum)
//   H:3 F: 41.250 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125
//     Maximum profit:  41.250
// An individual's line: "H:" and its number, " F:" and the profit (width 7, 3 decimals),
// " W:" and the 8 shares (width 5, 3 decimals, each followed by a blank). It goes out in ten
// checked output statements: the head with the profit, one per share, the line end. The
// profit is asked for before anything of the line is written, so a profit that stops the
// run leaves the lines before it whole.
//
// The comma-separated values (lines end with LF alone), each number in the shortest digits
// that read back as the same float (FormatShortest):
//   individual,profit,share1,share2,share3,share4,share5,share6,share7,share8
//   1,100.42,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.22222222,0.11111111
//
// The convergence trace (--trace, trace_file.h), in the CSV's numbers: a header, then per
// step its number, the best and the mean profit of the population; an empty population's
// figures are empty ("3,,").
//   step,best,mean
//   0,95.72685,91.585976

#include <cstdint>
#include <string_view>

#include "app/planner_options.h"
#include "model/allocation.h"
#include "runtime/number/fixed_text.h"
#include "search/plan.h"
#include "search/population.h"

// allocate's report of the final population: the heading, every individual's line, then
// the maximum profit (Population::BestProfit, never below 0).
void WriteReport(const Population& population);

// allocate-optimum's report: the heading, the one allocation as individual 1, then its
// profit again as the maximum, also when it is negative.
void WriteOptimumReport(float profit, const AllocationVector& shares);

// The same two as comma-separated values: the header and one line per individual.
void WriteCsvReport(const Population& population);
void WriteOptimumCsv(float profit, const AllocationVector& shares);

// allocate-optimum's report when the planner's options are given (planner_options.h), and
// the line allocate --optimum adds to allocate's. Text lines end with CR LF, CSV lines with
// LF, as above. The tables' columns line up (column_table.h).
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
// The trace's header line and the row of a population at a step, each with its LF.
inline constexpr std::string_view kTraceHeader = "step,best,mean\n";
using TraceRow = FixedText<64>;
TraceRow TraceRowOf(uint32_t step, const Population& population);
