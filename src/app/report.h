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

#include "model/allocation.h"
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
