#pragma once
// Exact arithmetic for checking number texts against binary values, independent of the
// program's own conversions: a fixed-capacity unsigned integer, the exact 128-bit rounding
// of a small float to three decimals, and the read-back bound of a decimal text.
//
//   FixedThreeDecimals(0.0625f)     -> "0.063"
//   FixedThreeDecimals(-0.0004f)    -> "-0.000"
//   WithinUnit({125, -3}, {1, -3}, 0)   -> true: 0.125 is within 10^0 of 1 * 2^-3

#include <cstdint>
#include <cstring>
#include <string>

namespace exact {

// An unsigned integer of Limbs * 64 bits. Every operation reports overflow through
// `overflowed` rather than wrapping, so a check can never pass on a truncated value.
template <int Limbs>
struct BigUnsigned {
  uint64_t limb[Limbs] = {};
  int used = 0;  // limbs in use; limb[used..] are zero
  bool overflowed = false;

  static BigUnsigned Of(uint64_t v) {
    BigUnsigned r;
    r.limb[0] = v;
    r.used = v != 0 ? 1 : 0;
    return r;
  }

  void MulSmall(uint64_t factor) {
    unsigned __int128 carry = 0;
    for (int i = 0; i < used; ++i) {
      unsigned __int128 product = static_cast<unsigned __int128>(limb[i]) * factor + carry;
      limb[i] = static_cast<uint64_t>(product);
      carry = product >> 64;
    }
    if (carry != 0) Push(static_cast<uint64_t>(carry));
    Trim();
  }

  void AddSmall(uint64_t addend) {
    for (int i = 0; addend != 0; ++i) {
      if (i == used) {
        Push(addend);
        return;
      }
      uint64_t sum = limb[i] + addend;
      addend = sum < addend ? 1 : 0;
      limb[i] = sum;
    }
  }

  void ShiftLeft(int bits) {
    if (used == 0 || bits == 0) return;
    int whole = bits / 64, part = bits % 64;
    if (used + whole + 1 > Limbs) {
      overflowed = true;
      return;
    }
    for (int i = used + whole; i >= 0; --i) {
      uint64_t high = i - whole >= 0 && i - whole < used ? limb[i - whole] << part : 0;
      uint64_t low = part != 0 && i - whole - 1 >= 0 && i - whole - 1 < used
                         ? limb[i - whole - 1] >> (64 - part)
                         : 0;
      limb[i] = high | low;
    }
    used += whole + 1;
    Trim();
  }

  void MulPow10(int n) {
    for (; n >= 19; n -= 19) MulSmall(10000000000000000000u);
    uint64_t rest = 1;
    for (; n > 0; --n) rest *= 10;
    MulSmall(rest);
  }

  // this - other, for this >= other.
  void Subtract(const BigUnsigned& other) {
    uint64_t borrow = 0;
    for (int i = 0; i < used; ++i) {
      uint64_t take = (i < other.used ? other.limb[i] : 0);
      uint64_t d = limb[i] - take - borrow;
      borrow = (limb[i] < take || (limb[i] == take && borrow)) ? 1 : 0;
      limb[i] = d;
    }
    Trim();
  }

  int Compare(const BigUnsigned& other) const {
    if (used != other.used) return used < other.used ? -1 : 1;
    for (int i = used - 1; i >= 0; --i)
      if (limb[i] != other.limb[i]) return limb[i] < other.limb[i] ? -1 : 1;
    return 0;
  }

 private:
  void Push(uint64_t v) {
    if (used == Limbs) {
      overflowed = true;
      return;
    }
    limb[used++] = v;
  }
  void Trim() {
    while (used > 0 && limb[used - 1] == 0) --used;
  }
};

// digits * 10^exponent10, the value of a decimal text.
struct Decimal {
  const char* digits;  // decimal digits only
  int count;
  int exponent10;
};

// significand * 2^exponent2, the value of a binary number.
struct Binary {
  uint64_t significand;
  int exponent2;
};

// A term of a comparison: a decimal digit string or a 64-bit integer, times 10^pow10 and
// 2^pow2. Negative powers are allowed; CompareDistance scales them away.
struct Term {
  const char* digits = nullptr;  // when set, the value's decimal digits (count of them)
  int count = 0;
  uint64_t integer = 0;  // otherwise the value
  int pow10 = 0;
  int pow2 = 0;
};

inline Term Of(const Decimal& d) { return {d.digits, d.count, 0, d.exponent10, 0}; }
inline Term Of(const Binary& b) { return {nullptr, 0, b.significand, 0, b.exponent2}; }

// Sign of |a - b| - bound, computed exactly: -1, 0 or 1; 2 when the numbers do not fit.
template <int Limbs>
int CompareDistance(const Term& a, const Term& b, const Term& bound) {
  const Term* terms[3] = {&a, &b, &bound};
  // Scale everything by 10^s10 * 2^s2 so that every term is an integer.
  int s10 = 0, s2 = 0;
  for (const Term* t : terms) {
    if (-t->pow10 > s10) s10 = -t->pow10;
    if (-t->pow2 > s2) s2 = -t->pow2;
  }
  BigUnsigned<Limbs> value[3];
  for (int i = 0; i < 3; ++i) {
    const Term& t = *terms[i];
    BigUnsigned<Limbs>& v = value[i];
    if (t.digits != nullptr) {
      for (int j = 0; j < t.count; ++j) {
        v.MulSmall(10);
        v.AddSmall(static_cast<uint64_t>(t.digits[j] - '0'));
      }
    } else {
      v = BigUnsigned<Limbs>::Of(t.integer);
    }
    v.MulPow10(t.pow10 + s10);
    v.ShiftLeft(t.pow2 + s2);
    if (v.overflowed) return 2;
  }
  BigUnsigned<Limbs>& x = value[0];
  BigUnsigned<Limbs>& y = value[1];
  if (x.Compare(y) >= 0) {
    x.Subtract(y);
    return x.Compare(value[2]);
  }
  y.Subtract(x);
  return y.Compare(value[2]);
}

// |decimal - binary| <= 10^unitExponent, computed exactly. False as well when the
// numbers do not fit Limbs.
template <int Limbs>
bool WithinUnit(const Decimal& decimal, const Binary& binary, int unitExponent) {
  Term unit{nullptr, 0, 1, unitExponent, 0};
  int sign = CompareDistance<Limbs>(Of(decimal), Of(binary), unit);
  return sign == -1 || sign == 0;
}

// floor(log10(significand * 2^exponent2)) for a value >= 1, exactly.
template <int Limbs>
int DecimalMagnitude(const Binary& binary) {
  auto value = BigUnsigned<Limbs>::Of(binary.significand);
  if (binary.exponent2 > 0) value.ShiftLeft(binary.exponent2);
  int k = 0;
  auto power = BigUnsigned<Limbs>::Of(10);
  // value * 2^-s2 >= 10^(k+1)  <=>  value >= 10^(k+1) * 2^s2
  int s2 = binary.exponent2 < 0 ? -binary.exponent2 : 0;
  power.ShiftLeft(s2);
  while (value.Compare(power) >= 0) {
    ++k;
    power.MulSmall(10);
  }
  return k;
}

// The fields of a float: value = significand * 2^exponent2, and the sign bit.
struct FloatFields {
  Binary binary;
  bool negative;
  bool special;  // infinity or NaN
};

inline FloatFields FieldsOfFloat(uint32_t bits) {
  uint32_t field = (bits >> 23) & 0xFF;
  uint32_t fraction = bits & 0x7FFFFF;
  FloatFields f;
  f.negative = (bits >> 31) != 0;
  f.special = field == 0xFF;
  f.binary.significand = field == 0 ? fraction : (fraction | 0x800000u);
  f.binary.exponent2 = field == 0 ? -149 : static_cast<int>(field) - 150;
  return f;
}

// n >> shift rounded to nearest, ties to even.
inline unsigned __int128 ShiftRoundEven(unsigned __int128 n, int shift) {
  if (shift <= 0) return n;
  if (shift >= 128) return 0;
  unsigned __int128 kept = n >> shift;
  unsigned __int128 rest = n - (kept << shift);
  unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
  if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
  return kept;
}

inline int BitLength(unsigned __int128 n) {
  int length = 0;
  for (; n != 0; n >>= 1) ++length;
  return length;
}

// The text of a float below 16 in magnitude with three decimals, without padding, by the
// rule of the number layout: |x| * 10^17 rounded to a 64-bit significand (ties to even),
// then to an integer (ties to even), then half up at the third decimal.
inline std::string FixedThreeDecimals(uint32_t bits) {
  FloatFields f = FieldsOfFloat(bits);
  // 1. The exact product: significand < 2^24 and 10^17 < 2^57, so it fits 81 bits.
  unsigned __int128 product =
      static_cast<unsigned __int128>(f.binary.significand) * 100000000000000000u;
  // 2. To 64 significant bits; a carry out to 2^64 keeps the value exact.
  int drop = BitLength(product) - 64;
  if (drop > 0) product = ShiftRoundEven(product, drop) << drop;
  // 3. To an integer: the value is product * 2^exponent2 with exponent2 <= -20 below 16.
  unsigned __int128 v = ShiftRoundEven(product, -f.binary.exponent2);
  // 4. Half up at the third decimal, on the digit that follows it.
  uint64_t thousandths = static_cast<uint64_t>(v / 100000000000000u);
  if ((v / 10000000000000u) % 10 >= 5) ++thousandths;
  std::string text = f.negative ? "-" : "";
  text += std::to_string(thousandths / 1000);
  char decimals[5];
  decimals[0] = '.';
  for (int i = 3; i >= 1; --i, thousandths /= 10)
    decimals[i] = static_cast<char>('0' + thousandths % 10);
  decimals[4] = '\0';
  return text + decimals;
}

}  // namespace exact
