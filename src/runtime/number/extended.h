#pragma once
// The extended real every computation of the program runs in, and the conversions out
// of it that can stop the run.

#include <cstdint>

#include "runtime/number/extended_x87.h"

// An extended real truncated toward zero, which must lie in 0..255: t in (-1, 256).
// A NaN or a value whose integer part does not fit 64 bits is an invalid operation
// (207); any other value outside the range a range failure (201).
[[gnu::noinline, gnu::cold]] uint8_t TruncateToByteSlow(long double t);

inline uint8_t TruncateToByte(long double t) {
  // Quiet compares: a NaN must reach the slow path, not trap here.
  if (__builtin_isgreater(t, -1.0L) && __builtin_isless(t, 256.0L)) [[likely]]
    return static_cast<uint8_t>(static_cast<int>(t));
  return TruncateToByteSlow(t);
}
