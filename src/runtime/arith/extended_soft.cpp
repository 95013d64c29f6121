#include "runtime/arith/extended_soft.h"

#include <bit>
#include <utility>

#include "runtime/arith/extended_real.h"

static_assert(ExtendedReal<SoftExtended>);

namespace {

using Wide = unsigned __int128;

constexpr int kBias = 16383;
constexpr uint16_t kSpecialExponent = 0x7FFF;  // infinities and NaNs
constexpr uint64_t kTop = uint64_t{1} << 63;
constexpr uint64_t kQuiet = uint64_t{1} << 62;
constexpr uint64_t kIndefinite = 0xC000000000000000;  // with the sign set: the default NaN

void Raise(unsigned fault) { SoftExtended::RaiseFaults(fault); }

int LeadingZeros(Wide x) {  // x != 0
  uint64_t high = static_cast<uint64_t>(x >> 64);
  return high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<uint64_t>(x));
}

// Shifts right, leaving a 1 in bit 0 when any 1 was shifted out, so rounding still sees
// that the value lies above the truncated one.
Wide ShiftRightJam(Wide x, int n) {
  if (n <= 0) return x;
  if (n >= 128) return x != 0;
  return (x >> n) | ((x << (128 - n)) != 0);
}

// An operand taken apart. A finite non-zero value is significand * 2^(exponent - 63) with
// the significand's top bit set (denormals are normalised here, so they need no case of
// their own below).
enum class Kind { kZero, kFinite, kInfinity, kNaN, kUnsupported };
struct Operand {
  Kind kind;
  bool negative;
  int32_t exponent;
  uint64_t significand;
};

Operand Unpack(SoftExtended x) {
  Operand u{Kind::kFinite, x.Negative(), x.Exponent() - kBias, x.Significand()};
  if (x.Exponent() == kSpecialExponent) {
    // Without its top bit (pseudo-infinity, pseudo-NaN) the x87 unit rejects the operand.
    if ((u.significand & kTop) == 0)
      u.kind = Kind::kUnsupported;
    else
      u.kind = (u.significand << 1) == 0 ? Kind::kInfinity : Kind::kNaN;
  } else if (x.Exponent() == 0) {
    // Denormals (and pseudo-denormals, with the top bit set) scale as exponent 1.
    if (u.significand == 0) return u.kind = Kind::kZero, u;
    int shift = std::countl_zero(u.significand);
    u.significand <<= shift;
    u.exponent = 1 - kBias - shift;
  } else if ((u.significand & kTop) == 0) {
    u.kind = Kind::kUnsupported;  // an unnormal
  }
  return u;
}

bool IsSignalling(const Operand& u) {
  return u.kind == Kind::kNaN && (u.significand & kQuiet) == 0;
}

SoftExtended Pack(bool negative, uint16_t exponent, uint64_t significand) {
  return SoftExtended::FromFields(negative, exponent, significand);
}
SoftExtended DefaultNaN() { return Pack(true, kSpecialExponent, kIndefinite); }
SoftExtended Zero(bool negative) { return Pack(negative, 0, 0); }
SoftExtended Invalid() {
  Raise(SoftExtended::kSoftInvalid);
  return DefaultNaN();
}

// The result of an operation with a NaN or a rejected operand, as the x87 unit picks it: a
// rejected operand gives the default NaN; a quiet NaN wins over a signalling one; of two
// NaNs alike the larger significand, on a tie the positive one. The result is quiet, and a
// signalling operand records invalid.
SoftExtended PropagateNaN(const Operand& ua, const Operand& ub) {
  if (ua.kind == Kind::kUnsupported || ub.kind == Kind::kUnsupported) return Invalid();
  if (IsSignalling(ua) || IsSignalling(ub)) Raise(SoftExtended::kSoftInvalid);
  const Operand* pick = &ua;
  if (ua.kind != Kind::kNaN) {
    pick = &ub;
  } else if (ub.kind == Kind::kNaN) {
    bool quietA = (ua.significand & kQuiet) != 0, quietB = (ub.significand & kQuiet) != 0;
    if (quietA != quietB)
      pick = quietA ? &ua : &ub;
    else if (ub.significand > ua.significand)
      pick = &ub;
    else if (ub.significand == ua.significand && !ub.negative)
      pick = &ub;
  }
  return Pack(pick->negative, kSpecialExponent, pick->significand | kQuiet);
}

bool IsNaNOrUnsupported(const Operand& u) {
  return u.kind == Kind::kNaN || u.kind == Kind::kUnsupported;
}

// A finite non-zero exact result: significand * 2^(exponent - 127) with the significand's
// top bit set, bits already lost to the right leaving a 1 in bit 0.
struct Exact {
  bool negative;
  int32_t exponent;
  Wide significand;
};

struct Rounded {
  int32_t exponent;      // of the top bit of a normal result; the range's minimum below it
  uint64_t significand;  // `bits` wide; top bit clear for a result below the normal range
};

// The one rounding step: to `bits` significant bits (at most 64), nearest with ties to
// even. Below minExponent the value is first shifted down to that exponent and rounded
// there, as the x87 unit denormalises with underflow masked.
Rounded RoundTo(const Exact& x, int bits, int32_t minExponent) {
  Wide s = x.significand;
  int32_t exponent = x.exponent;
  if (exponent < minExponent) {
    s = ShiftRightJam(s, minExponent - exponent);
    exponent = minExponent;
  }
  int drop = 128 - bits;
  uint64_t kept = static_cast<uint64_t>(s >> drop);
  Wide rest = s & ((Wide{1} << drop) - 1);
  Wide half = Wide{1} << (drop - 1);
  if (rest > half || (rest == half && (kept & 1) != 0)) {
    uint64_t allOnes = ~uint64_t{0} >> (64 - bits);
    if (kept == allOnes) {
      kept = uint64_t{1} << (bits - 1);
      ++exponent;
    } else {
      ++kept;  // a denormal that reaches the top bit is the smallest normal: same exponent
    }
  }
  return {exponent, kept};
}

// An exact result of the out-of-line operations, through the one rounding and packing.
SoftExtended RoundAndPackExact(const Exact& x) {
  return SoftExtended::RoundAndPack(x.negative ? 0x8000 : 0, x.exponent + kBias,
                                    static_cast<uint64_t>(x.significand >> 64),
                                    static_cast<uint64_t>(x.significand));
}

Exact Normalise(bool negative, int32_t exponentOfBit127, Wide s) {  // s != 0
  int shift = LeadingZeros(s);
  return {negative, exponentOfBit127 - shift, s << shift};
}

SoftExtended Add(SoftExtended a, SoftExtended b, bool subtract) {
  Operand ua = Unpack(a), ub = Unpack(b);
  if (IsNaNOrUnsupported(ua) || IsNaNOrUnsupported(ub)) return PropagateNaN(ua, ub);
  ub.negative ^= subtract;
  if (ua.kind == Kind::kInfinity || ub.kind == Kind::kInfinity) {
    if (ua.kind != Kind::kInfinity) return SoftExtended::Infinity(ub.negative);
    if (ub.kind != Kind::kInfinity || ua.negative == ub.negative)
      return SoftExtended::Infinity(ua.negative);
    return Invalid();  // inf - inf
  }
  if (ub.kind == Kind::kZero) {
    if (ua.kind == Kind::kZero) return Zero(ua.negative && ub.negative);
    return RoundAndPackExact({ua.negative, ua.exponent, Wide{ua.significand} << 64});
  }
  if (ua.kind == Kind::kZero)
    return RoundAndPackExact({ub.negative, ub.exponent, Wide{ub.significand} << 64});

  if (ua.exponent < ub.exponent) std::swap(ua, ub);
  // Both significands at bits 126..63: bit 127 takes a carry, and a shift of up to 63
  // loses nothing; beyond that the jam keeps what rounding needs.
  Wide big = Wide{ua.significand} << 63;
  Wide small = ShiftRightJam(Wide{ub.significand} << 63, ua.exponent - ub.exponent);
  if (ua.negative == ub.negative)
    return RoundAndPackExact(Normalise(ua.negative, ua.exponent + 1, big + small));
  if (big == small) return Zero(false);  // x - x is +0 when rounding to nearest
  if (big > small) return RoundAndPackExact(Normalise(ua.negative, ua.exponent + 1, big - small));
  return RoundAndPackExact(Normalise(ub.negative, ua.exponent + 1, small - big));
}

}  // namespace

// A result outside the normal range: denormalised and rounded there, or infinity with the
// overflow fault beyond the largest finite value.
SoftExtended SoftExtended::RoundAndPackBeyondNormal(unsigned sign, int32_t exponent, uint64_t kept,
                                                    uint64_t rest) {
  bool negative = sign != 0;
  Rounded r = RoundTo({negative, exponent - kBias, Wide{kept} << 64 | rest}, 64, 1 - kBias);
  if (r.exponent > kBias) {
    Raise(kSoftOverflow);
    return SoftExtended::Infinity(negative);
  }
  uint16_t field = (r.significand & kTop) != 0 ? static_cast<uint16_t>(r.exponent + kBias) : 0;
  return Pack(negative, field, r.significand);
}

SoftExtended SoftExtended::FromFloatSlow(float x) {
  SoftExtended result;
  uint32_t bits = std::bit_cast<uint32_t>(x);
  bool negative = (bits >> 31) != 0;
  uint32_t exponent = (bits >> 23) & 0xFF;
  uint64_t fraction = bits & 0x7FFFFF;
  if (exponent == 0xFF) {
    if (fraction != 0 && (fraction & 0x400000) == 0) Raise(kSoftInvalid);  // signalling
    result =
        Pack(negative, kSpecialExponent, kTop | (fraction << 40) | (fraction != 0 ? kQuiet : 0));
  } else if (exponent == 0) {
    if (fraction == 0) {
      result = Zero(negative);
    } else {  // a float denormal is fraction * 2^-149, normal in the wider range
      int shift = std::countl_zero(fraction);
      result = Pack(negative, static_cast<uint16_t>(63 - shift - 149 + kBias), fraction << shift);
    }
  } else {  // normal: handled inline
    result = Pack(negative, static_cast<uint16_t>(exponent - 127 + kBias), kTop | (fraction << 40));
  }
  return result;
}

SoftExtended SoftExtended::FromDoubleSlow(double x) {
  SoftExtended result;
  uint64_t bits = std::bit_cast<uint64_t>(x);
  bool negative = (bits >> 63) != 0;
  uint32_t exponent = (bits >> 52) & 0x7FF;
  uint64_t fraction = bits & 0xFFFFFFFFFFFFF;
  if (exponent == 0x7FF) {
    if (fraction != 0 && (fraction & (uint64_t{1} << 51)) == 0) Raise(kSoftInvalid);
    result =
        Pack(negative, kSpecialExponent, kTop | (fraction << 11) | (fraction != 0 ? kQuiet : 0));
  } else if (exponent == 0) {
    if (fraction == 0) {
      result = Zero(negative);
    } else {  // fraction * 2^-1074
      int shift = std::countl_zero(fraction);
      result = Pack(negative, static_cast<uint16_t>(63 - shift - 1074 + kBias), fraction << shift);
    }
  } else {
    result =
        Pack(negative, static_cast<uint16_t>(exponent - 1023 + kBias), kTop | (fraction << 11));
  }
  return result;
}

SoftExtended SoftExtended::FromUnsigned(uint64_t n) {
  if (n == 0) return SoftExtended();
  int shift = std::countl_zero(n);
  return Pack(false, static_cast<uint16_t>(63 - shift + kBias), n << shift);
}

SoftExtended SoftExtended::FromInt(int64_t n) {
  uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  SoftExtended x = FromUnsigned(magnitude);
  return n < 0 ? -x : x;
}

SoftExtended SoftExtended::AddSlow(SoftExtended a, SoftExtended b, bool subtract) {
  return Add(a, b, subtract);
}

SoftExtended SoftExtended::MultiplySlow(SoftExtended a, SoftExtended b) {
  Operand ua = Unpack(a), ub = Unpack(b);
  if (IsNaNOrUnsupported(ua) || IsNaNOrUnsupported(ub)) return PropagateNaN(ua, ub);
  bool negative = ua.negative != ub.negative;
  if (ua.kind == Kind::kInfinity || ub.kind == Kind::kInfinity) {
    if (ua.kind == Kind::kZero || ub.kind == Kind::kZero) return Invalid();  // 0 * inf
    return SoftExtended::Infinity(negative);
  }
  if (ua.kind == Kind::kZero || ub.kind == Kind::kZero) return Zero(negative);
  // The 128-bit product is exact; its top bit is 126 or 127.
  Wide product = Wide{ua.significand} * ub.significand;
  return RoundAndPackExact(Normalise(negative, ua.exponent + ub.exponent + 1, product));
}

SoftExtended operator/(SoftExtended a, SoftExtended b) {
  Operand ua = Unpack(a), ub = Unpack(b);
  if (IsNaNOrUnsupported(ua) || IsNaNOrUnsupported(ub)) return PropagateNaN(ua, ub);
  bool negative = ua.negative != ub.negative;
  if (ua.kind == Kind::kInfinity)
    return ub.kind == Kind::kInfinity ? Invalid() : SoftExtended::Infinity(negative);
  if (ub.kind == Kind::kInfinity) return Zero(negative);
  if (ub.kind == Kind::kZero) {
    if (ua.kind == Kind::kZero) return Invalid();  // 0 / 0
    Raise(SoftExtended::kSoftZeroDivide);
    return SoftExtended::Infinity(negative);
  }
  if (ua.kind == Kind::kZero) return Zero(negative);
  // a * 2^64 / b has 64 or 65 bits; two more from the remainder make at least 66, enough
  // for the rounding bit, and what remains after them decides the sticky bit exactly.
  Wide numerator = Wide{ua.significand} << 64;
  Wide quotient = numerator / ub.significand;
  Wide remainder = (numerator % ub.significand) << 2;
  quotient = (quotient << 2) | (remainder / ub.significand);
  quotient |= (remainder % ub.significand) != 0;
  // quotient ~ (a / b) * 2^66: its bit 127 stands for 2^(ea - eb + 61).
  return RoundAndPackExact(Normalise(negative, ua.exponent - ub.exponent + 61, quotient));
}

SoftExtended::Order SoftExtended::Compare(SoftExtended a, SoftExtended b) {
  Operand ua = Unpack(a), ub = Unpack(b);
  if (IsNaNOrUnsupported(ua) || IsNaNOrUnsupported(ub)) {
    if (ua.kind == Kind::kUnsupported || ub.kind == Kind::kUnsupported || IsSignalling(ua) ||
        IsSignalling(ub)) {
      Raise(kSoftInvalid);
    }
    return kUnordered;
  }
  // Magnitudes order as (exponent, significand) once zeros are 0 and infinities top.
  auto magnitude = [](const Operand& u) -> Wide {
    if (u.kind == Kind::kZero) return 0;
    if (u.kind == Kind::kInfinity) return Wide{1} << 80;
    return (Wide(static_cast<uint32_t>(u.exponent + 2 * kBias)) << 64) | u.significand;
  };
  Wide ma = magnitude(ua), mb = magnitude(ub);
  if (ma == 0 && mb == 0) return kEqual;
  if (ua.negative != ub.negative) return ua.negative ? kLess : kGreater;
  if (ma == mb) return kEqual;
  return (ma < mb) != ua.negative ? kLess : kGreater;
}

namespace {

// x rounded to the binary format of fractionBits and exponentBits (float 23 and 8, double
// 52 and 11), as its bits: nearest even, denormals kept, overflow to infinity (recorded),
// NaNs quieted with their payload's top bits, the rejected encodings the default NaN.
uint64_t Narrowed(SoftExtended x, int fractionBits, int exponentBits) {
  Operand u = Unpack(x);
  const int bias = (1 << (exponentBits - 1)) - 1;
  const uint64_t fraction = (uint64_t{1} << fractionBits) - 1;
  const uint64_t infinity = ((uint64_t{1} << exponentBits) - 1) << fractionBits;
  const uint64_t quiet = uint64_t{1} << (fractionBits - 1);
  const uint64_t sign = u.negative ? uint64_t{1} << (fractionBits + exponentBits) : 0;
  switch (u.kind) {
    case Kind::kUnsupported:
      Raise(SoftExtended::kSoftInvalid);
      return uint64_t{1} << (fractionBits + exponentBits) | infinity | quiet;  // default NaN
    case Kind::kNaN:
      if (IsSignalling(u)) Raise(SoftExtended::kSoftInvalid);
      return sign | infinity | quiet | ((u.significand >> (63 - fractionBits)) & fraction);
    case Kind::kInfinity:
      return sign | infinity;
    case Kind::kZero:
      return sign;
    case Kind::kFinite:
      break;
  }
  Rounded r =
      RoundTo({u.negative, u.exponent, Wide{u.significand} << 64}, fractionBits + 1, 1 - bias);
  if (r.exponent > bias) {
    Raise(SoftExtended::kSoftOverflow);
    return sign | infinity;
  }
  uint64_t exponent = (r.significand & (fraction + 1)) != 0 ? r.exponent + bias : 0;
  return sign | exponent << fractionBits | (r.significand & fraction);
}

}  // namespace

float SoftExtended::RoundToFloatSlow() const {
  return std::bit_cast<float>(static_cast<uint32_t>(Narrowed(*this, 23, 8)));
}

double SoftExtended::RoundToDouble() const {
  return std::bit_cast<double>(Narrowed(*this, 52, 11));
}

float SoftExtended::BlendSlow(float f, float from, float to) {
  SoftExtended weight = SoftExtended(1.0) - SoftExtended(f);
  return (weight * SoftExtended(from) + SoftExtended(f) * SoftExtended(to)).RoundToFloat();
}

float SoftExtended::AddProductSlow(float x, double d, float m) {
  return (SoftExtended(x) + SoftExtended(d) * SoftExtended(m)).RoundToFloat();
}

namespace {

// Both integer conversions: the magnitude rounded to an integer (toward zero or to nearest
// even), then the int64 range checked on the rounded value, as the x87 store does.
int64_t ToInt64(SoftExtended x, bool nearest) {
  constexpr int64_t kIntegerIndefinite = INT64_MIN;
  Operand u = Unpack(x);
  if (u.kind == Kind::kZero) return 0;
  if (u.kind != Kind::kFinite || u.exponent > 63) {
    Raise(SoftExtended::kSoftInvalid);
    return kIntegerIndefinite;
  }
  uint64_t magnitude = 0;
  if (u.exponent < 0) {
    // Below 1: only a value above one half rounds to 1.
    if (nearest && u.exponent == -1 && u.significand > kTop) magnitude = 1;
  } else {
    int shift = 63 - u.exponent;
    magnitude = u.significand >> shift;
    if (nearest && shift > 0) {
      uint64_t rest = u.significand & ((uint64_t{1} << shift) - 1);
      uint64_t half = uint64_t{1} << (shift - 1);
      if (rest > half || (rest == half && (magnitude & 1) != 0)) ++magnitude;
    }
  }
  if (magnitude > (u.negative ? kTop : kTop - 1)) {
    Raise(SoftExtended::kSoftInvalid);
    return kIntegerIndefinite;
  }
  return static_cast<int64_t>(u.negative ? 0 - magnitude : magnitude);
}

}  // namespace

int64_t SoftExtended::TruncateSlow() const { return ToInt64(*this, false); }
int64_t SoftExtended::RoundToInt64() const { return ToInt64(*this, true); }
