#pragma once
// The shortest decimal text of a float that this program's own reader gives back as the
// same float: the digits come from DigitString, and each candidate is read back with
// ParseReal and rounded to float as a table entry or an answer would be.
//
//   FormatShortest(0.1f)           -> "0.1"
//   FormatShortest(100.22f)        -> "100.22"
//   FormatShortest(-0.0f)          -> "-0"
//   FormatShortest(1e-5f)          -> "1e-05"
//   FormatShortest(3.4028235e38f)  -> "3.4028235e+38"
//
// Positional from 1e-4 up to below 1e16, exponent form otherwise ("e", a sign and at
// least two digits), so every text reads back in this program, in C and in Python. The
// infinities and NaN, which no profit or share can be, give "inf", "-inf" and "nan".

#include <cstdint>

#include "runtime/number/format.h"

// |x| = digits * 10^(exponent - count + 1), with count significant digits (1..17) and no
// trailing zero; 0 is {0, 1, 0}. Of the candidates with the fewest digits that read back
// as x, the one nearest to x; where x lies exactly halfway, the upper one, as FormatReal
// rounds half up (2^-12 = 0.000244140625 gives 24414063, not 24414062).
//   ShortestDigits(100.22f) -> {10022, 5, 2}      ShortestDigits(1e-5f) -> {1, 1, -5}
struct ShortestDecimal {
  uint64_t digits;
  int32_t count;
  int32_t exponent;  // of the first digit
  bool negative;
};
ShortestDecimal ShortestDigits(float x);

NumberText FormatShortest(float x);
