#pragma once
// The tail of an individual's line, shared by every program that prints allocations: " F:"
// and the profit (width 7, 3 decimals), " W:" and the 8 shares (width 5, 3 decimals,
// each followed by a blank), then CR LF.
//
// After "H:3", profit 41.25 and eight shares of 0.125 the line reads
//   "H:3 F: 41.250 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 " and CR LF.

#include "model/allocation.h"

// Ends the output statement the caller has begun (its head, such as "H:3") with the
// profit, then writes one statement per share and one for the line end, each checked.
void WriteProfitAndShares(float profit, const AllocationVector& shares);
