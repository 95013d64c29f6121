#include "model/allocation.h"

#include "runtime/arith/extended.h"

// Float arithmetic runs in the processor's float unit (SSE on x86-64): a sum or quotient of two
// floats rounded once to float is the same as the extended result rounded to float.
void Normalize(AllocationVector& v) {
  // 1. Clamp every share.
  for (int k = 1; k <= 8; ++k) v[k] = Clamp01(v[k]);
  // 2. The running sum, rounded to float after every addition.
  float sum = 0.0f;
  for (int k = 1; k <= 8; ++k) sum = sum + v[k];
  // 3. Divide by the sum of the clamped shares; 0 / 0 traps here, or stops at the check
  // where the processor only records it.
  for (int k = 1; k <= 8; ++k) v[k] = FloatQuotient(v[k], sum);
  FloatCheckpoint();
}

bool HasShareAboveZero(const AllocationVector& v) {
  for (int k = 1; k <= 8; ++k) {
    if (v[k] > 0.0f) return true;
  }
  return false;
}

bool SameAllocation(const AllocationVector& a, const AllocationVector& b) {
  for (int k = 1; k <= 8; ++k) {
    if (a[k] != b[k]) return false;
  }
  return true;
}
