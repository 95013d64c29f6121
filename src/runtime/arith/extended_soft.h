#pragma once
// SoftExtended: the 80-bit extended real (sign, 15-bit exponent with bias 16383, 64-bit
// significand with an explicit top bit) computed in integer arithmetic, so every processor
// gives the bits the x87 unit gives at the program's setting: precision 64 bits, round to
// nearest even, underflow, denormal and inexact masked.
//
// The faults the x87 setting leaves unmasked are recorded instead of trapped, in sticky flags
// the checkpoint reads (Faults). The value returned with a fault is the x87's masked answer
// (infinity for overflow, the default NaN for invalid), which the stop at the checkpoint
// makes irrelevant to the run. The interface is the one every extended type has
// (extended_real.h).
//
// Every arithmetic result, inline or out of line, is rounded and packed by RoundAndPack.
//
//   SoftExtended x(0.1f);                  // exactly 13421773 * 2^-27
//   (x * SoftExtended(3.0f)).RoundToFloat()  // 0.3f, rounded once from the 64-bit product
//   SoftExtended(1.0f) / SoftExtended()    // +infinity, records kSoftZeroDivide

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

class SoftExtended {
 public:
  SoftExtended() = default;  // +0
  // Normal floats, the program's operands, inline; the rest out of line.
  explicit SoftExtended(float x) {
    uint32_t bits = std::bit_cast<uint32_t>(x);
    uint32_t exponent = (bits >> 23) & 0xFF;
    if (exponent - 1 < 0xFE) [[likely]] {
      signExponent_ = static_cast<uint16_t>((bits >> 31) << 15 | (exponent - 127 + kBias));
      significand_ = kTopBit | uint64_t{bits & 0x7FFFFF} << 40;
    } else if ((bits << 1) == 0) {
      signExponent_ = static_cast<uint16_t>((bits >> 31) << 15);  // a zero
    } else {
      *this = FromFloatSlow(x);
    }
  }
  explicit SoftExtended(double x) {
    uint64_t bits = std::bit_cast<uint64_t>(x);
    uint32_t exponent = (bits >> 52) & 0x7FF;
    if (exponent - 1 < 0x7FE) [[likely]] {
      signExponent_ = static_cast<uint16_t>((bits >> 63) << 15 | (exponent - 1023 + kBias));
      significand_ = kTopBit | (bits & 0xFFFFFFFFFFFFF) << 11;
    } else if ((bits << 1) == 0) {
      signExponent_ = static_cast<uint16_t>((bits >> 63) << 15);  // a zero
    } else {
      *this = FromDoubleSlow(x);
    }
  }
  static SoftExtended FromInt(int64_t n);
  static SoftExtended FromUnsigned(uint64_t n);
  static SoftExtended FromFields(bool negative, uint16_t exponent, uint64_t significand) {
    SoftExtended x;
    x.signExponent_ = static_cast<uint16_t>((negative ? kSignBit : 0) | (exponent & kExponentMask));
    x.significand_ = significand;
    return x;
  }
  static SoftExtended Infinity(bool negative) {
    return FromFields(negative, kSpecialExponent, kTopBit);
  }

  bool Negative() const { return (signExponent_ & kSignBit) != 0; }
  uint16_t Exponent() const { return signExponent_ & kExponentMask; }
  uint64_t Significand() const { return significand_; }
  bool IsFinite() const { return Exponent() != kSpecialExponent; }
  bool IsNaN() const { return !IsFinite() && (significand_ << 1) != 0; }
  bool IsInfinite() const { return !IsFinite() && significand_ == kTopBit; }
  // e with 2^e <= |x| < 2^(e+1), for a finite x with a non-zero significand; a denormal's
  // exponent field of 0 scales like 1.
  int32_t BinaryExponent() const {
    int32_t field = Exponent() == 0 ? 1 : static_cast<int32_t>(Exponent());
    return field - kBias - std::countl_zero(significand_);
  }

  // Addition, subtraction and multiplication of two normal numbers with a normal result
  // (nearly every operation of a run) are done inline; everything else out of line.
  // Inline throughout: a call costs as much as the fast path itself.
  [[gnu::always_inline]] friend SoftExtended operator+(SoftExtended a, SoftExtended b) {
    return AddFast(a, b, 0);
  }
  [[gnu::always_inline]] friend SoftExtended operator-(SoftExtended a, SoftExtended b) {
    return AddFast(a, b, kSignBit);
  }
  [[gnu::always_inline]] friend SoftExtended operator*(SoftExtended a, SoftExtended b) {
    if (BothNormal(a, b)) [[likely]] {
      Wide product = Wide{a.significand_} * b.significand_;
      uint64_t high = static_cast<uint64_t>(product >> 64), low = static_cast<uint64_t>(product);
      // The product's top bit is bit 127 or 126, a coin toss the processor cannot predict:
      // shifted up by 0 or 1 without a branch.
      unsigned shift = static_cast<unsigned>(high >> 63) ^ 1;
      high = high << shift | (low >> 63 & shift);
      low <<= shift;
      int32_t exponent = a.Exponent() + b.Exponent() - kBias + 1 - static_cast<int32_t>(shift);
      return RoundAndPack((a.signExponent_ ^ b.signExponent_) & kSignBit, exponent, high, low);
    } else if (BothNormalOrZero(a, b)) {
      return FromFields(a.Negative() != b.Negative(), 0, 0);
    }
    return MultiplySlow(a, b);
  }
  friend SoftExtended operator/(SoftExtended a, SoftExtended b);
  friend SoftExtended operator-(SoftExtended a) {
    a.signExponent_ ^= kSignBit;
    return a;
  }

  // Quiet compares: a NaN operand makes every one false but !=, with no fault. (Like the
  // x87's unordered compare, a signalling NaN or an encoding the x87 rejects records invalid.)
  friend bool operator<(SoftExtended a, SoftExtended b) { return CompareFast(a, b) == kLess; }
  friend bool operator>(SoftExtended a, SoftExtended b) { return CompareFast(a, b) == kGreater; }
  friend bool operator<=(SoftExtended a, SoftExtended b) {
    Order o = CompareFast(a, b);
    return o == kLess || o == kEqual;
  }
  friend bool operator>=(SoftExtended a, SoftExtended b) {
    Order o = CompareFast(a, b);
    return o == kGreater || o == kEqual;
  }
  friend bool operator==(SoftExtended a, SoftExtended b) { return CompareFast(a, b) == kEqual; }
  friend bool operator!=(SoftExtended a, SoftExtended b) { return CompareFast(a, b) != kEqual; }

  // Nearest even; beyond the float range: overflow.
  float RoundToFloat() const {
    int32_t exponent = static_cast<int32_t>(Exponent()) - kBias;  // of the top bit
    if (IsNormal() && exponent >= -126 && exponent <= 127) [[likely]] {
      uint64_t kept = significand_ >> 40, rest = significand_ & 0xFFFFFFFFFF;
      constexpr uint64_t kHalf = uint64_t{1} << 39;
      // Without a branch: which way it rounds is a coin toss.
      kept +=
          static_cast<uint64_t>(rest > kHalf) | (static_cast<uint64_t>(rest == kHalf) & kept & 1);
      if (kept >> 24 == 0 || exponent < 127) {  // not rounded beyond the largest float
        uint32_t bits = static_cast<uint32_t>((signExponent_ & kSignBit) << 16) +
                        (static_cast<uint32_t>(exponent + 126) << 23) + static_cast<uint32_t>(kept);
        return std::bit_cast<float>(bits);  // a carry out of the significand bumps the exponent
      }
    }
    return RoundToFloatSlow();
  }
  double RoundToDouble() const;  // likewise
  // Toward zero; NaN or beyond int64: invalid, INT64_MIN.
  int64_t TruncateToInt64() const {
    int32_t exponent = static_cast<int32_t>(Exponent()) - kBias;
    if (IsNormal() && exponent <= 62) [[likely]] {
      if (exponent < 0) return 0;  // below 1 in size
      int64_t magnitude = static_cast<int64_t>(significand_ >> (63 - exponent));
      return Negative() ? -magnitude : magnitude;
    }
    if (IsZero()) return 0;
    return TruncateSlow();
  }
  int64_t RoundToInt64() const;  // nearest even; the same fault rule

  // The two steps of the program's arithmetic that run most, each as one call with the
  // x87 rounding of every step. Computed in doubles, a result differs from the x87's
  // exact sum by far less than a float's rounding step: when no float tie point lies
  // within that error bound, both round to the same float. The rest (a tie within the
  // bound, a sum that is zero by cancellation, beyond the normal float range, a special
  // operand) goes the way of the separate operations.
  //
  // The point f of the way from `from` to `to`: (1 - f) * from + f * to.
  [[gnu::always_inline]] static float Blend(float f, float from, float to) {
    if (FloatFinite(f) & FloatFinite(from) & FloatFinite(to)) [[likely]] {
      double fraction = f;
      // A product of two floats is exact in a double; a product with 1 - f may round
      // once, as may 1 - f itself.
      float sum;
      if (SumToFloat((1.0 - fraction) * from, fraction * to, true, sum)) [[likely]]
        return sum;
    }
    return BlendSlow(f, from, to);
  }
  // x + d * m.
  [[gnu::always_inline]] static float AddProduct(float x, double d, float m) {
    // d below 2^512: d * m cannot overflow a double, so no fault is raised here (and the
    // compare is a quiet one, for a NaN d).
    if (FloatFinite(x) & FloatFinite(m) & std::isless(std::fabs(d), 0x1p512)) [[likely]] {
      float sum;
      // d * m rounds once; it may also underflow unless a factor is 0.
      if (SumToFloat(x, d * m, d == 0 || m == 0, sum)) [[likely]]
        return sum;
    }
    return AddProductSlow(x, d, m);
  }

  // Sticky fault flags, at the bits the x87 status word gives them. Per thread, as the
  // x87 unit's are.
  static constexpr unsigned kSoftInvalid = 0x01;
  static constexpr unsigned kSoftZeroDivide = 0x04;
  static constexpr unsigned kSoftOverflow = 0x08;
  // Inline: every checkpoint reads them.
  static unsigned Faults() { return faults_; }
  static void ClearFaults() { faults_ = 0; }
  // Records faults found outside the type: float arithmetic checked by its result where
  // the processor keeps no flags (WebAssembly).
  static void RaiseFaults(unsigned faults) { faults_ |= faults; }

  // The one rounding and packing of every arithmetic result: kept.rest * 2^(exponent -
  // 16383 - 63), the top bit of kept set and rest the exact bits below it (or the lowest
  // set where bits further down were lost), rounded to 64 bits nearest even. A normal
  // result is packed inline; a result below the normal range (denormalised as the x87 does
  // with underflow masked) or beyond it (infinity, recording overflow) out of line. sign is
  // 0 or 0x8000; exponent may lie outside the field's range.
  [[gnu::always_inline]] static SoftExtended RoundAndPack(unsigned sign, int32_t exponent,
                                                          uint64_t kept, uint64_t rest) {
    uint64_t rounded = kept;
    int32_t roundedExponent = exponent;
    if (rest > kTopBit || (rest == kTopBit && (kept & 1) != 0)) {
      if (++rounded == 0) {
        rounded = kTopBit;
        ++roundedExponent;
      }
    }
    if (roundedExponent >= 1 && roundedExponent < kSpecialExponent) [[likely]] {
      SoftExtended r;
      r.signExponent_ = static_cast<uint16_t>(sign | static_cast<unsigned>(roundedExponent));
      r.significand_ = rounded;
      return r;
    }
    return RoundAndPackBeyondNormal(sign, exponent, kept, rest);
  }

 private:
  using Wide = unsigned __int128;
  static constexpr uint64_t kTopBit = uint64_t{1} << 63;
  static constexpr int32_t kBias = 16383;
  static constexpr uint16_t kSignBit = 0x8000;
  static constexpr uint16_t kExponentMask = 0x7FFF;
  static constexpr uint16_t kSpecialExponent = 0x7FFF;  // infinities and NaNs
  [[gnu::noinline]] static SoftExtended RoundAndPackBeyondNormal(unsigned sign, int32_t exponent,
                                                                 uint64_t kept, uint64_t rest);
  enum Order { kLess, kEqual, kGreater, kUnordered };
  static Order Compare(SoftExtended a, SoftExtended b);
  static SoftExtended FromFloatSlow(float x);
  static SoftExtended FromDoubleSlow(double x);
  static SoftExtended AddSlow(SoftExtended a, SoftExtended b, bool subtract);
  static SoftExtended MultiplySlow(SoftExtended a, SoftExtended b);
  float RoundToFloatSlow() const;
  int64_t TruncateSlow() const;
  static float BlendSlow(float f, float from, float to);
  static float AddProductSlow(float x, double d, float m);

  static bool FloatFinite(float x) {
    return (std::bit_cast<uint32_t>(x) & 0x7F800000) != 0x7F800000;
  }

  // p + q, rounded as the x87 unit rounds the sum of the values p and q stand for: the
  // exact sum to 64 bits, then to float. p, q and their double sum s each carry at most one
  // rounding to 53 bits (p two), so s lies within 3 * 2^-53 * (|p| + |q|) of the exact sum,
  // which the x87's own roundings to 64 bits move by far less; `bound` is 2.6 times that.
  // Rounding to float changes only at tie points, halfway between two floats: with none
  // within the bound of s, s and the x87's sum round to the same float. False when one is;
  // when s is not a normal float; or when s is zero other than as the sum of two zero
  // products (exactZeros: the operands make a zero product exactly 0, not an underflow).
  [[gnu::always_inline]] static bool SumToFloat(double p, double q, bool exactZeros,
                                                float& result) {
    double s = p + q;
    double size = std::fabs(s);
    if (!(size >= 0x1p-126 && size < 0x1p127)) [[unlikely]] {
      // Zeros add with the x87's signs: -0 only from -0 + -0.
      if (!(p == 0 && q == 0 && exactZeros)) return false;
      result = static_cast<float>(s);
      return true;
    }
    result = static_cast<float>(s);  // nearest even
    // s less its float, exactly (the two are close); the ties nearest s lie half a float
    // step from that float, a quarter step below it when it is a power of two.
    double off = std::fabs(s - static_cast<double>(result));
    double halfStep =
        static_cast<double>(std::bit_cast<float>(std::bit_cast<uint32_t>(result) & 0x7F800000)) *
        0x1p-24;
    double bound = (std::fabs(p) + std::fabs(q)) * 0x1p-50;
    return (std::fabs(off - halfStep) > bound) & (std::fabs(off - 0.5 * halfStep) > bound);
  }

  // Exponent 1..0x7FFE with the top bit set: no zero, denormal, special or unnormal.
  bool IsNormal() const {
    return static_cast<uint16_t>(Exponent() - 1) < kSpecialExponent - 1 &&
           (significand_ & kTopBit) != 0;
  }
  // Both IsNormal, tested at once.
  static bool BothNormal(SoftExtended a, SoftExtended b) {
    uint32_t biggerExponentLess1 = std::max(a.Exponent() - 1u, b.Exponent() - 1u);
    return (biggerExponentLess1 < kSpecialExponent - 1u) &
           ((a.significand_ & b.significand_) >> 63 != 0);
  }
  bool IsZero() const { return Exponent() == 0 && significand_ == 0; }
  static bool BothNormalOrZero(SoftExtended a, SoftExtended b) {
    return (a.IsNormal() || a.IsZero()) && (b.IsNormal() || b.IsZero());
  }

  // signFlip 0x8000 subtracts. Exponents more than 63 apart go out of line. In 64-bit
  // halves: the larger magnitude's significand, and the smaller one's shifted right with
  // the bits it loses kept whole in `lost` (at most 63 of them), so the exact sum or
  // difference is kept.lost before rounding.
  [[gnu::always_inline]] static SoftExtended AddFast(SoftExtended a, SoftExtended b,
                                                     unsigned signFlip) {
    if (BothNormal(a, b)) [[likely]] {
      unsigned signA = a.signExponent_ & kSignBit;
      unsigned signB = (b.signExponent_ ^ signFlip) & kSignBit;
      int32_t exponentA = a.Exponent(), exponentB = b.Exponent();
      // Which operand is larger is often a coin toss: one wide compare (a subtract with
      // borrow), then selects rather than a branch.
      bool swap =
          (Wide{a.Exponent()} << 64 | a.significand_) < (Wide{b.Exponent()} << 64 | b.significand_);
      unsigned bigSign = swap ? signB : signA, smallSign = swap ? signA : signB;
      int32_t exponent = swap ? exponentB : exponentA;
      int32_t smallExponent = swap ? exponentA : exponentB;
      uint64_t big = swap ? b.significand_ : a.significand_;
      uint64_t small = swap ? a.significand_ : b.significand_;
      unsigned distance = static_cast<unsigned>(exponent - smallExponent);
      if (distance <= 63) {
        uint64_t shifted = small >> distance;
        uint64_t lost = distance == 0 ? 0 : small << (64 - distance);
        uint64_t kept, rest;
        if (bigSign == smallSign) {
          kept = big + shifted;
          rest = lost;
          if (kept < big) {  // a carry: one bit more, the lowest joins the rest
            rest = kept << 63 | lost >> 1 | (lost & 1);
            kept = kTopBit | kept >> 1;
            ++exponent;
          }
        } else {
          kept = big - shifted - (lost != 0);
          rest = 0 - lost;
          if ((kept & kTopBit) == 0) {
            if (kept == 0 && rest == 0) return SoftExtended();  // x - x is +0 to nearest
            int shift = kept != 0 ? std::countl_zero(kept) : 64 + std::countl_zero(rest);
            if (shift < 64) {
              kept = kept << shift | rest >> (64 - shift);
              rest <<= shift;
            } else {
              kept = rest << (shift - 64);
              rest = 0;
            }
            exponent -= shift;
          }
        }
        return RoundAndPack(bigSign, exponent, kept, rest);
      }
    } else if (BothNormalOrZero(a, b)) {
      b.signExponent_ ^= static_cast<uint16_t>(signFlip);
      if (!b.IsZero()) return b;
      if (!a.IsZero()) return a;
      return FromFields(a.Negative() && b.Negative(), 0, 0);  // -0 only from -0 + -0
    }
    return AddSlow(a, b, signFlip != 0);
  }

  static Order CompareFast(SoftExtended a, SoftExtended b) {
    if (BothNormalOrZero(a, b)) [[likely]] {
      if (a.IsZero() && b.IsZero()) return kEqual;
      if (a.Negative() != b.Negative()) return a.Negative() ? kLess : kGreater;
      // Magnitudes order as (exponent, significand).
      uint16_t ea = a.Exponent(), eb = b.Exponent();
      if (ea == eb && a.significand_ == b.significand_) return kEqual;
      bool smaller = ea != eb ? ea < eb : a.significand_ < b.significand_;
      return smaller != a.Negative() ? kLess : kGreater;
    }
    return Compare(a, b);
  }

  static inline thread_local unsigned faults_ = 0;

  uint16_t signExponent_ = 0;
  uint64_t significand_ = 0;
};
