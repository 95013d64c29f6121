#include "runtime/number/format.h"

#include "runtime/arith/extended.h"
#include "runtime/number/pow10.h"

namespace {

void Append(NumberText& text, char c) { text.Put(c); }

void Append(NumberText& text, std::string_view s) { text.Add(s); }

void AppendDigits(NumberText& text, const DigitBuffer& S, int32_t first, int32_t last) {
  for (int32_t i = first; i <= last; ++i) Append(text, S[i]);
}

// Sign, integer digits, and the point with the decimals when there are any.
void AppendFixedForm(NumberText& text, bool negative, DecimalParts parts, int32_t decimals) {
  DigitBuffer S;
  DigitString(parts.m, parts.k + 1 + decimals, S);
  if (negative) Append(text, '-');
  AppendDigits(text, S, S[0] != '0' ? 0 : 1, parts.k + 1);
  if (decimals > 0) {
    Append(text, '.');
    AppendDigits(text, S, parts.k + 2, parts.k + 1 + decimals);
  }
}

// Sign or blank, d.ddd, "E", exponent sign, four exponent digits.
void AppendExponentForm(NumberText& text, bool negative, DecimalParts parts, int32_t width) {
  // width - 8 limited to 2 .. 18, written so that no width can overflow.
  int32_t p = width < 10 ? 2 : width > 26 ? 18 : width - 8;
  DigitBuffer S;
  auto [first, e] = SignificantDigits(parts, p, S);
  Append(text, negative ? '-' : ' ');
  Append(text, S[first]);
  Append(text, '.');
  AppendDigits(text, S, first + 1, first + p - 1);
  Append(text, 'E');
  Append(text, e < 0 ? '-' : '+');
  // |e| stays below 5000 over the whole extended range, denormals included.
  uint32_t magnitude = e < 0 ? 0u - static_cast<uint32_t>(e) : static_cast<uint32_t>(e);
  for (uint32_t divisor = 1000; divisor != 0; divisor /= 10)
    Append(text, static_cast<char>('0' + magnitude / divisor % 10));
}

}  // namespace

DigitPlace SignificantDigits(DecimalParts parts, int32_t count, DigitBuffer& S) {
  DigitString(parts.m, 18, S);  // unrounded: S[0] = "1" means m >= 10
  int32_t f = S[0] == '1' ? 0 : 1;
  DigitString(parts.m, count - 1 + f, S);
  if (S[0] != '0') return {0, parts.k + 1};
  return {1, parts.k};
}

NumberText FormatInteger(int32_t value) {
  NumberText text;
  text.Number(value);
  return text;
}

DecimalParts DecimalExponent(Extended a) {
  DecimalParts parts{0, a};
  // Each round takes out the power of ten that the binary exponent guarantees, until
  // none is left (zero needs none).
  for (;;) {
    if (parts.m.Significand() == 0) return parts;
    // 19728 / 65536 = 0.3010254, just below log10 2 = 0.3010300; the shift of the
    // signed product rounds towards minus infinity for negative e.
    int32_t e = parts.m.BinaryExponent();
    int32_t t = (e * 19728) >> 16;
    if (t == 0) return parts;
    parts.k += t;
    parts.m = ScalePow10(parts.m, -t);
  }
}

void DigitString(Extended m, int32_t n, DigitBuffer& S) {
  // 1. v := m * 10^17 rounded to extended, then to an integer, ties to even (below
  //    1.6e18, so within the int64 range).
  const Extended kTenTo17 = Extended::FromUnsigned(100000000000000000u);
  Extended scaled = m * kTenTo17;
  int64_t rounded = scaled.RoundToInt64();
  ArithmeticCheckpoint();
  auto v = static_cast<uint64_t>(rounded);
  // 2. The 19 digits of v, the first of them "0" or "1".
  constexpr uint64_t kTenTo18 = 1000000000000000000u;
  S[0] = '0';
  if (v >= kTenTo18) {
    S[0] = '1';
    v -= kTenTo18;
  }
  for (int32_t i = 18; i >= 1; --i) {
    S[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  // 3. Rounding half up at n; beyond the 19 digits there is nothing to round.
  if (n >= 18) {
    for (int32_t i = 19; i <= n; ++i) S[i] = '0';
    return;
  }
  if (S[n + 1] < '5') return;
  // S[0] is "0" or "1", so the carry stops there at the latest.
  int32_t i = n;
  while (S[i] == '9') S[i--] = '0';
  ++S[i];
}

NumberText FormatReal(Extended x, int32_t width, int32_t decimals) {
  NumberText text;
  if (width > 255) width = 255;
  if (!x.IsFinite()) {
    Append(text, !x.IsInfinite() ? "Nan" : x.Negative() ? "-Inf" : "+Inf");
    return text;
  }
  // The sign bit alone decides the minus, so -0.0 keeps it.
  bool negative = x.Negative();
  Extended a = negative ? -x : x;
  if (decimals < 0) {
    AppendExponentForm(text, negative, DecimalExponent(a), width);
    return text;
  }
  // DecimalExponent reaches k = 36 exactly from 2^120 on: the fixed form would not fit.
  if (decimals > 216) decimals = 216;
  DecimalParts parts{0, a};
  if (!(a < Extended(10.0))) {
    parts = DecimalExponent(a);
    if (parts.k >= 36) {
      AppendExponentForm(text, negative, parts, width);
      return text;
    }
  }
  AppendFixedForm(text, negative, parts, decimals);
  return text;
}
