#pragma once
// Bounds-checked building blocks. Every indexed array of the program is a CheckedArray;
// an index outside its bounds ends the run with code 201.

#include <cstdint>

#include "runtime/core/stop.h"

template <typename T, int Lo, int Hi>
struct CheckedArray {
  static_assert(Lo <= Hi);
  static constexpr int kSize = Hi - Lo + 1;

  T items[kSize];

  T& operator[](int i) {
    if (i < Lo || i > Hi) [[unlikely]] RangeCheckFailed();
    return items[i - Lo];
  }
  const T& operator[](int i) const {
    if (i < Lo || i > Hi) [[unlikely]] RangeCheckFailed();
    return items[i - Lo];
  }

  // The elements first .. first + count - 1, checked as a whole, for bulk copies.
  T* Range(int first, int count) {
    if (count < 0 || first < Lo || first > Hi + 1 || count > Hi + 1 - first) [[unlikely]]
      RangeCheckFailed();
    return items + (first - Lo);
  }
  const T* Range(int first, int count) const {
    return const_cast<CheckedArray*>(this)->Range(first, count);
  }
};

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
