#pragma once
// The exact best allocation of a profit table, found by a knapsack over the 8 projects
// and the 9 ninths of the budget.
//
// Why a best allocation lies on the grid of ninths: the total profit is a sum of
// piecewise-linear functions whose breakpoints are the multiples of 1/9. Fix the cell
// [a_k, a_k + 1/9] that holds each share of some allocation. Over the box of these
// cells cut by the plane sum = 1 the profit is linear, so it is greatest at a vertex,
// and a vertex of a box of dimension 8 cut by one plane has at least 7 shares on a cell
// boundary, a multiple of 1/9. The eighth is 1 less those 7, so a multiple of 1/9 too.
// Every allocation is therefore matched or beaten by one of the 11,440 allocations of
// whole ninths, and the knapsack finds the best of those.
//
// The profit of a grid allocation is the sum of its 8 table entries, added from project
// 8 down to project 1 in extended precision: exact while the non-zero entries lie within
// a factor of about 2^37 of each other, the nearest extended value beyond that. Among allocations
// of equal profit the first in ascending order of (n1, n2, ... n8) wins, n_k the ninths of project
// k: so with every entry equal, project 8 gets the whole budget.
//
// Entry [k, j] = k + j * (10 - j): (1, 1, 1, 1, 1, 1, 1, 2), sum 36 + 7 * 9 + 16 = 115.

#include <cstdint>

#include "model/allocation.h"
#include "model/profit_table.h"
#include "runtime/core/checked.h"

// Ninths of the budget per project, 1..8, adding up to 9.
using Ninths = CheckedArray<uint8_t, 1, 8>;

Ninths BestNinths(const ProfitTable& table);

// n_k / 9 rounded to float, the shares as the report prints them and TotalProfit reads them.
AllocationVector SharesOf(const Ninths& ninths);
