#include "runtime/number/shortest.h"

#include <cmath>
#include <cstring>

#include "runtime/arith/extended.h"
#include "runtime/number/parse.h"

namespace {

// Nine significant digits always tell two floats apart; the search goes on to 17 only in
// case the reader's extended arithmetic ever needs more.
constexpr int32_t kMostDigits = 17;

// Half a unit in the last place above the largest float, 2^128 - 2^103: from here on a
// value rounds to infinity, which would stop the run (205) instead of failing a candidate.
// Exact in a double: 2^103 * (2^25 - 1).
const Extended kFloatOverflow = Extended(0x1p128 - 0x1p103);

uint32_t BitsOf(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// The candidate as text, "digits" "e" exponent, read back by the program's own reader.
Extended ReadBack(uint64_t digits, int32_t scale) {
  FixedText<40> text;
  CheckedArray<char, 0, 19> reversed;
  int32_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  } while (digits != 0);
  while (count > 0) text.Put(reversed[--count]);
  text.Put('e').Number(scale);
  return ParseReal(text.View()).value;
}

// Whether digits * 10^scale reads back as the float with these bits (a magnitude).
bool ReadsBackAs(uint64_t digits, int32_t scale, uint32_t bits) {
  Extended value = ReadBack(digits, scale);
  if (!(value < kFloatOverflow)) return false;
  return BitsOf(ToFloat(value)) == bits;
}

uint64_t PowerOfTen(int32_t n) {
  uint64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// The nearest count-digit decimal to a (> 0, finite): its digits and first-digit exponent.
// The same steps as the exponent form of FormatReal, with count digits.
ShortestDecimal Nearest(Extended a, int32_t count) {
  DecimalParts parts = DecimalExponent(a);
  DigitBuffer S;
  auto [first, e] = SignificantDigits(parts, count, S);
  uint64_t digits = 0;
  for (int32_t i = first; i < first + count; ++i) digits = digits * 10 + (S[i] - '0');
  return {digits, count, e, false};
}

// Trailing zeros off, so that count is the number of significant digits.
ShortestDecimal Trimmed(ShortestDecimal d) {
  while (d.count > 1 && d.digits % 10 == 0) {
    d.digits /= 10;
    --d.count;
  }
  return d;
}

int32_t ScaleOf(const ShortestDecimal& d) { return d.exponent - d.count + 1; }

void Append(NumberText& text, char c) { text.Put(c); }

}  // namespace

ShortestDecimal ShortestDigits(float x) {
  const uint32_t bits = BitsOf(x) & 0x7FFFFFFFu;
  const bool negative = BitsOf(x) != bits;
  if (bits == 0) return {0, 1, 0, negative};
  const Extended a = Extended(std::fabs(x));
  ShortestDecimal best = Nearest(a, 9);
  for (int32_t count = 1; count <= kMostDigits; ++count) {
    // 1. The nearest decimal with count digits.
    ShortestDecimal d = Nearest(a, count);
    if (ReadsBackAs(d.digits, ScaleOf(d), bits)) {
      best = d;
      break;
    }
    // 2. Near a power of two the float's interval is lopsided: a neighbour one unit away
    //    may read back where the nearest does not. Never both: at one scale the reader is
    //    monotone in the digits, and d lies between them, so it would have read back
    //    itself (searched over every float: tests/exhaustive/shortest_exhaustive.cpp).
    //    There is no choice between two neighbours to make.
    const int32_t scale = ScaleOf(d);
    const bool upOk = ReadsBackAs(d.digits + 1, scale, bits);
    const bool downOk =
        !upOk && d.digits > PowerOfTen(count - 1) && ReadsBackAs(d.digits - 1, scale, bits);
    if (upOk || downOk) {
      d.digits = upOk ? d.digits + 1 : d.digits - 1;
      // 999 + 1 is 1000: one digit more, the exponent one higher.
      if (d.digits == PowerOfTen(count)) {
        d.digits /= 10;
        ++d.exponent;
      }
      best = d;
      break;
    }
  }
  best = Trimmed(best);
  best.negative = negative;
  return best;
}

NumberText FormatShortest(float x) {
  NumberText text;
  uint32_t bits = BitsOf(x);
  if ((bits & 0x7F800000u) == 0x7F800000u) {
    const char* word = (bits & 0x007FFFFFu) != 0 ? "nan" : (bits >> 31) != 0 ? "-inf" : "inf";
    for (; *word != '\0'; ++word) Append(text, *word);
    return text;
  }
  ShortestDecimal d = ShortestDigits(x);
  // 1. The digits, most significant first.
  CheckedArray<char, 0, kMostDigits - 1> digits;
  uint64_t rest = d.digits;
  for (int32_t i = d.count - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  if (d.negative) Append(text, '-');
  // 2. Positional: integer digits (zeros where the digits run out), then the fraction.
  if (d.exponent >= -4 && d.exponent < 16) {
    if (d.exponent < 0) {
      Append(text, '0');
      Append(text, '.');
      for (int32_t i = -1; i > d.exponent; --i) Append(text, '0');
      for (int32_t i = 0; i < d.count; ++i) Append(text, digits[i]);
      return text;
    }
    for (int32_t i = 0; i <= d.exponent; ++i) Append(text, i < d.count ? digits[i] : '0');
    if (d.count > d.exponent + 1) {
      Append(text, '.');
      for (int32_t i = d.exponent + 1; i < d.count; ++i) Append(text, digits[i]);
    }
    return text;
  }
  // 3. Exponent form: d.ddd, "e", sign, at least two digits.
  Append(text, digits[0]);
  if (d.count > 1) {
    Append(text, '.');
    for (int32_t i = 1; i < d.count; ++i) Append(text, digits[i]);
  }
  Append(text, 'e');
  Append(text, d.exponent < 0 ? '-' : '+');
  int32_t magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
  if (magnitude < 10) Append(text, '0');
  text.Number(magnitude);
  return text;
}
