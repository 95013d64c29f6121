#pragma once
// Conversion of one input token into a number. A token is a run of bytes above 0x20 as the
// text channel collects it; leading blanks are skipped, anything else that does not fit the
// syntax makes the token invalid (ok == false, value of no use).
//
// Integers: decimal, or hexadecimal after "$", "x", "X", "0x" or "0X", with one sign.
//   "010" -> 10      "-$10" -> -16      "$FFFFFFFF" -> -1      "2147483648" -> invalid
// Reals: digits, an optional "." with digits, an optional exponent; any group may be empty.
//   ".5" -> 0.5      "1E+2" -> 100      "e5" -> 0      "-." -> -0.0      "1e" -> invalid
//   "0e5120" -> 0      "1e-5120" -> 0      "1e4933", "1e5120" -> stop with 205 while scaling

#include <cstdint>
#include <string_view>

#include "runtime/arith/extended.h"

struct ParsedInteger {
  int32_t value;
  bool ok;
};

struct ParsedReal {
  Extended value;
  bool ok;
  // No digit before the exponent (".", "-.", "e5", "+.e-5"): a valid 0 by the syntax,
  // and often a typing slip, which a reader may want to say.
  bool withoutDigits = false;
};

// Decimal values must lie in -2147483648 .. 2147483647; hexadecimal values may use all
// 32 bits and are taken as two's complement, so only more than 8 digits of value overflow.
ParsedInteger ParseInteger(std::string_view token);

// All arithmetic in extended precision: the mantissa is accumulated digit by digit (exact up
// to 19 significant digits), then scaled once by ScalePow10(v, exponent - fraction digits).
// The exponent stops growing once its value passes 99999, so huge exponents stop (205) or
// give 0 instead of wrapping; a zero mantissa gives 0 with any exponent. A minus sign is
// applied last: "-0" and "-0e9999" are negative zero.
ParsedReal ParseReal(std::string_view token);
