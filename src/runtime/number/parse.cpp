#include "runtime/number/parse.h"

#include "runtime/number/pow10.h"

namespace {

constexpr ParsedInteger kInvalidInteger = {0, false};
const ParsedReal kInvalidReal = {Extended(), false};

// Beyond 99999 an exponent already lies far outside -5120 .. 5120, where the reading
// stops (205) or gives 0 whatever follows, so it stops growing there (at most 999999).
constexpr int32_t kExponentStop = 99999;
// A fraction-digit count this large already forces n = exponent - count below -5120.
constexpr int32_t kFractionCountStop = 10000000;

// The largest n below the saturation of ScalePow10 (whose 10^n with n >= 5120 is +infinity).
constexpr int32_t kLargestScaledExponent = 5119;

bool IsDigit(char c) { return static_cast<unsigned>(c - '0') < 10; }

int DigitValue(char c) { return c - '0'; }

// 0 .. 15, or -1 for a byte that is not a hexadecimal digit.
int HexDigitValue(char c) {
  if (IsDigit(c)) return DigitValue(c);
  unsigned letter = static_cast<unsigned>((c | 0x20) - 'a');  // 'A'..'F' fold onto 'a'..'f'
  return letter < 6 ? static_cast<int>(10 + letter) : -1;
}

bool IsHexLetter(char c) { return c == 'x' || c == 'X'; }

size_t SkipBlanks(std::string_view token) {
  size_t at = 0;
  while (at < token.size() && token[at] == ' ') ++at;
  return at;
}

ParsedInteger ParseHexDigits(std::string_view digits, bool negative) {
  if (digits.empty()) return kInvalidInteger;
  uint32_t value = 0;
  for (char c : digits) {
    int digit = HexDigitValue(c);
    if (digit < 0 || value > 0x0FFFFFFFu) return kInvalidInteger;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  if (negative) value = 0u - value;
  return {static_cast<int32_t>(value), true};
}

ParsedInteger ParseDecimalDigits(std::string_view digits, bool negative) {
  if (digits.empty()) return kInvalidInteger;
  uint32_t value = 0;
  for (char c : digits) {
    // 214748364 * 10 + 9 still fits 32 unsigned bits.
    if (!IsDigit(c) || value > 214748364u) return kInvalidInteger;
    value = value * 10 + static_cast<uint32_t>(DigitValue(c));
  }
  if (negative) {
    if (value > 2147483648u) return kInvalidInteger;
    return {static_cast<int32_t>(0u - value), true};
  }
  if (value > 2147483647u) return kInvalidInteger;
  return {static_cast<int32_t>(value), true};
}

// v * 10^n for a reading. The mantissa v is a whole number: 0, or at least 1. A zero
// stays zero whatever n is; any other v with n from 5120 on is scaled by 10^5119
// instead, which already lies beyond the extended range, so it stops (205) in the
// scaling exactly where 1e4933 does, rather than reading as +infinity.
Extended ScaleMantissa(Extended v, int32_t n) {
  if (v == Extended()) return v;
  return ScalePow10(v, n < kLargestScaledExponent ? n : kLargestScaledExponent);
}

}  // namespace

ParsedInteger ParseInteger(std::string_view token) {
  // 1. Leading blanks.
  size_t at = SkipBlanks(token);
  // 2. One optional sign.
  bool negative = false;
  if (at < token.size() && (token[at] == '-' || token[at] == '+')) {
    negative = token[at] == '-';
    ++at;
  }
  std::string_view rest = token.substr(at);
  // 3. Hexadecimal after "$", "x", "X", "0x" or "0X".
  if (!rest.empty() && (rest[0] == '$' || IsHexLetter(rest[0])))
    return ParseHexDigits(rest.substr(1), negative);
  if (rest.size() >= 2 && rest[0] == '0' && IsHexLetter(rest[1]))
    return ParseHexDigits(rest.substr(2), negative);
  // 4. Decimal otherwise.
  return ParseDecimalDigits(rest, negative);
}

ParsedReal ParseReal(std::string_view token) {
  const size_t end = token.size();
  // 1. Leading blanks.
  size_t at = SkipBlanks(token);
  // 2. One optional sign, which must be followed by something.
  bool negative = false;
  if (at < end && (token[at] == '-' || token[at] == '+')) {
    negative = token[at] == '-';
    ++at;
    if (at == end) return kInvalidReal;
  }
  // 3. Integer digits.
  const Extended ten(10.0);
  Extended v;
  size_t mantissaDigits = 0;
  for (; at < end && IsDigit(token[at]); ++at, ++mantissaDigits)
    v = v * ten + Extended::FromInt(DigitValue(token[at]));
  // 4. Fraction digits, counted.
  int32_t fractionDigits = 0;
  if (at < end && token[at] == '.') {
    for (++at; at < end && IsDigit(token[at]); ++at, ++mantissaDigits) {
      v = v * ten + Extended::FromInt(DigitValue(token[at]));
      if (fractionDigits < kFractionCountStop) ++fractionDigits;
    }
  }
  // 5. Exponent: a letter, an optional sign, at least one digit.
  int32_t exponent = 0;
  if (at < end && (token[at] == 'E' || token[at] == 'e')) {
    ++at;
    bool negativeExponent = false;
    if (at < end && (token[at] == '-' || token[at] == '+')) {
      negativeExponent = token[at] == '-';
      ++at;
    }
    if (at == end || !IsDigit(token[at])) return kInvalidReal;
    for (; at < end && IsDigit(token[at]); ++at)
      if (exponent <= kExponentStop) exponent = exponent * 10 + DigitValue(token[at]);
    if (negativeExponent) exponent = -exponent;
  }
  // 6. Nothing else may follow.
  if (at != end) return kInvalidReal;
  // 7. One scaling; |exponent| <= 999999 and fractionDigits <= 10^7 keep n in range.
  v = ScaleMantissa(v, exponent - fractionDigits);
  // 8. The sign last, so "-0" stays a negative zero.
  if (negative) v = -v;
  ArithmeticCheckpoint();
  return {v, true, mantissaDigits == 0};
}
