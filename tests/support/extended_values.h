#pragma once
// Extended values as the tests name them: from a double where that is exact, the
// specials and the bounds by their fields, and a comparison of every bit (negative zero,
// infinities and the last bit all count).
//
//   X(0.125)                    0.125
//   XFields(false, 0x7FFF, 1ull << 63)   +infinity
//   Bits(X(-0.0)) != Bits(X(0.0))

#include <cstdint>
#include <ostream>
#include <tuple>

#include "runtime/arith/extended.h"

inline Extended X(double x) { return Extended(x); }
inline Extended XFields(bool negative, uint16_t exponent, uint64_t significand) {
  return Extended::FromFields(negative, exponent, significand);
}

inline const Extended kXInfinity = XFields(false, 0x7FFF, 0x8000000000000000u);
inline const Extended kXNaN = XFields(true, 0x7FFF, 0xC000000000000000u);  // the default NaN
inline const Extended kXLargest = XFields(false, 0x7FFE, ~uint64_t{0});
inline const Extended kXSmallestNormal = XFields(false, 1, 0x8000000000000000u);
inline const Extended kXSmallestDenormal = XFields(false, 0, 1);

// x, hidden from the optimiser, so that a fault it leads to happens when the test runs.
[[gnu::noipa]] inline Extended Opaque(Extended x) { return x; }

// A table cell that takes a float, a double or an extended value, as the row gives it.
struct XValue {
  Extended x;
  XValue(float f) : x(f) {}
  XValue(double d) : x(d) {}
  XValue(Extended e) : x(e) {}
  operator Extended() const { return x; }
};

// Every field of an extended value.
struct ExtendedBits {
  bool negative;
  uint16_t exponent;
  uint64_t significand;
  bool operator==(const ExtendedBits&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const ExtendedBits& b) {
  return out << (b.negative ? "-" : "+") << std::hex << b.exponent << ":" << b.significand
             << std::dec;
}
inline ExtendedBits Bits(Extended x) { return {x.Negative(), x.Exponent(), x.Significand()}; }
inline std::ostream& operator<<(std::ostream& out, Extended x) { return out << Bits(x); }
