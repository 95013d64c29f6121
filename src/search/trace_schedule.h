#pragma once
// TraceSchedule: the steps a convergence trace writes out of the states 0..last of a run
// (0 before the first step, last after the last one): every one while they number at
// most 1000, otherwise 1000 spread evenly, floor(row * last / 999) for rows 0..999, so
// the first and the last are always there.
//
//   TraceSchedule{3}:      rows 4, steps 0 1 2 3
//   TraceSchedule{65535}:  rows 1000, steps 0 65 131 ... 65469 65535

#include <cstdint>

struct TraceSchedule {
  static constexpr uint32_t kMostRows = 1000;

  uint32_t last;  // the number of steps the run takes

  uint32_t Rows() const { return last < kMostRows ? last + 1 : kMostRows; }

  // The step of row 0 .. Rows() - 1.
  uint32_t StepOfRow(uint32_t row) const {
    if (last < kMostRows) return row;
    return static_cast<uint32_t>(uint64_t{row} * last / (kMostRows - 1));
  }
};
