#pragma once
// AllocationVector: the shares of the budget given to the 8 projects, share k for
// project k (indexes 1..8). A plain 32-byte value, copied by value.
//
// Normalize clamps every share to [0, 1] and divides each by their sum, the sum rounded
// to float after every addition: (2, -1, 0, 0, 0, 0, 0, 1) -> (0.5, 0, 0, 0, 0, 0, 0, 0.5);
// eight shares of 0.3 -> eight of 0.125000015 (pattern 3e000001).

#include "runtime/core/checked.h"

using AllocationVector = CheckedArray<float, 1, 8>;

// 0 below 0, 1 above 1, x otherwise (0 and 1 themselves unchanged).
inline float Clamp01(float x) {
  if (x < 0.0f) return 0.0f;
  if (x > 1.0f) return 1.0f;
  return x;
}

// A vector whose shares all clamp to 0 divides 0 by 0: the invalid-operation trap
// stops the run (207) rather than going on with undefined shares.
void Normalize(AllocationVector& v);

// Whether some share lies above 0, so that Normalize has a sum to divide by.
//   (0.5, -1, 0, 0, 0, 0, 0, 0) -> true      (-0.5, 0, -0, 0, 0, 0, 0, -3) -> false
bool HasShareAboveZero(const AllocationVector& v);

// Exact float equality of every share, stopping at the first that differs.
bool SameAllocation(const AllocationVector& a, const AllocationVector& b);
