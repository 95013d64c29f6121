#pragma once
// The whole run of allocate-optimum between start-up and the end sequence: load the
// profit table from "function.txt" in the working directory, print the exact best
// allocation in the layout of allocate's report, and return. It asks nothing and
// waits for nothing.
//
//   Exact optimum:
//   H:1 F:115.000 W:0.111 0.111 0.111 0.111 0.111 0.111 0.111 0.222
//     Maximum profit: 115.000
//
// The profit is TotalProfit of the printed shares, as allocate computes it; the
// maximum-profit line repeats it, also when it is negative. A table that fails to load
// stops the run with allocate's codes before anything is printed.
//
// --file PATH reads the table from PATH; --csv prints allocate's CSV header and one line
// for individual 1 instead (report.h).

#include "app/options.h"
#include "app/program_description.h"

void RunOptimum(const ProgramDescription& program, const Options& options);
