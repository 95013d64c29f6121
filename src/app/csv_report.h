#pragma once
// The report as comma-separated values, for scripts: a header, then one line per
// individual with its number, its profit and its 8 shares, each number in the shortest
// digits that read back as the same float (FormatShortest). Lines end with LF alone.
//
// allocate-optimum --csv on examples/function.txt:
// individual,profit,share1,share2,share3,share4,share5,share6,share7,share8
// 1,100.42,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.22222222,0.11111111

#include <cstdint>

#include "model/allocation.h"

void WriteCsvHeader();
void WriteCsvLine(int32_t individual, float profit, const AllocationVector& shares);
