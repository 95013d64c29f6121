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
    if (i < Lo || i > Hi) [[unlikely]]
      RangeCheckFailed();
    return items[i - Lo];
  }
  const T& operator[](int i) const {
    if (i < Lo || i > Hi) [[unlikely]]
      RangeCheckFailed();
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
