#pragma once
// The conversions of numbers to text for the output stream. Fixed-size results, no
// allocation. The texts carry no padding: the writer puts width - length blanks in front.
//
//   FormatInteger(-2147483648)      -> "-2147483648"
//   FormatReal(41.25, 7, 3)         -> "41.250"          (written as " 41.250")
//   FormatReal(-0.0, 7, 3)          -> "-0.000"          (the sign bit alone decides the minus)
//   FormatReal(2.5, 7, 0)           -> "3"               (no point when decimals is 0)
//   FormatReal(1234.5, 15, -1)      -> " 1.234500E+0003" (width - 8 significant digits)
//   FormatReal(NaN, 7, 3)           -> "Nan"             ("+Inf", "-Inf" for the infinities)
//
// Digits come from extended arithmetic rounded twice: to 17 places after the point of the
// scaled value (ties to even, on the binary value), then half up at the requested place.

#include <cstdint>
#include <string_view>

#include "runtime/arith/extended.h"
#include "runtime/core/checked.h"
#include "runtime/number/fixed_text.h"

// At most 255 characters: the fixed form is limited to 216 decimals and to magnitudes
// below 2^120 (37 integer digits), so "-" + 37 + "." + 216 fits exactly.
using NumberText = FixedText<255>;

NumberText FormatInteger(int32_t value);

// decimals >= 0: fixed form with that many decimals (at most 216), unless the magnitude
// is 2^120 or more. decimals < 0: exponent form with p = width - 8 digits, p limited to
// 2 .. 18, so p + 8 characters long (width 0 gives 10): sign or blank, d.ddd, "E", sign,
// four exponent digits.
NumberText FormatReal(Extended x, int32_t width, int32_t decimals);

// a = m * 10^k with 1 <= m < 16 (m = 0, k = 0 for a = 0), for a >= 0 and finite.
//   DecimalExponent(1234.5) -> {3, 1.2345}      DecimalExponent(12.5) -> {0, 12.5}
struct DecimalParts {
  int32_t k;
  Extended m;
};
DecimalParts DecimalExponent(Extended a);

// The digit characters of m (0 <= m < 16): S[0] is the tens digit ("0" or "1"), S[1] the
// units, S[2..] the decimals. At most 19 significant digits; rounded half up at position
// n (so S[0] may become "1" or "2"); positions 19..n are "0". Fills S[0..max(n, 18)];
// only S[0..n] are meaningful. Requires 0 <= n <= 254.
//   DigitString(9.9996, 4)  -> "10000"
//   DigitString(0.0625, 4)  -> "00063"
using DigitBuffer = CheckedArray<char, 0, 254>;
void DigitString(Extended m, int32_t n, DigitBuffer& S);

// The count (>= 1) significant digits of parts' value, rounded half up at the last as the
// exponent form shows them: S[first .. first + count - 1], the first one worth 10^exponent.
// A carry into a new leading digit moves first and exponent by one.
//   SignificantDigits({3, 1.2345}, 2)  -> "12" at first 1, exponent 3
//   SignificantDigits({0, 9.96}, 2)    -> "10" at first 0, exponent 1
struct DigitPlace {
  int32_t first;
  int32_t exponent;
};
DigitPlace SignificantDigits(DecimalParts parts, int32_t count, DigitBuffer& S);
