#include "extended_cases.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "runtime/arith/extended_soft.h"

namespace extended_cases {

// With the processor's own float flags, which the fused operations' double arithmetic could
// raise and the checkpoint reads too.
unsigned TakeSoftFaults() {
  int flags = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  unsigned faults = SoftExtended::Faults() |
                    ((flags & FE_INVALID) != 0 ? SoftExtended::kSoftInvalid : 0) |
                    ((flags & FE_DIVBYZERO) != 0 ? SoftExtended::kSoftZeroDivide : 0) |
                    ((flags & FE_OVERFLOW) != 0 ? SoftExtended::kSoftOverflow : 0);
  SoftExtended::ClearFaults();
  std::feclearexcept(FE_ALL_EXCEPT);
  return faults;
}

unsigned TakeX87Faults() {
  int faults = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  if (faults != 0) std::feclearexcept(FE_ALL_EXCEPT);
  return static_cast<unsigned>(faults);
}

const char* Name(Op op) {
  switch (op) {
    case Op::kAdd:
      return "add";
    case Op::kSubtract:
      return "subtract";
    case Op::kMultiply:
      return "multiply";
    case Op::kDivide:
      return "divide";
    case Op::kCompare:
      return "compare";
    case Op::kNegate:
      return "negate";
    case Op::kFromFloat:
      return "from float";
    case Op::kFromDouble:
      return "from double";
    case Op::kFromInt:
      return "from int64";
    case Op::kFromUnsigned:
      return "from uint64";
    case Op::kToFloat:
      return "round to float";
    case Op::kToDouble:
      return "round to double";
    case Op::kTruncate:
      return "truncate to int64";
    case Op::kRound:
      return "round to int64";
    case Op::kFloatThrough:
      return "float through extended";
    case Op::kBlend:
      return "blend";
    case Op::kAddProduct:
      return "add product";
  }
  return "?";
}

bool HasThreeSources(Op op) { return op == Op::kBlend || op == Op::kAddProduct; }

bool IsBinary(Op op) {
  return op == Op::kAdd || op == Op::kSubtract || op == Op::kMultiply || op == Op::kDivide ||
         op == Op::kCompare;
}

namespace {

constexpr uint16_t kBias = 16383;
constexpr uint64_t kTop = uint64_t{1} << 63;
constexpr uint64_t kOnes = ~uint64_t{0};

std::string Hex(Fields f) {
  char text[32];
  std::snprintf(text, sizeof text, "%04X:%016llX", f.signExponent,
                static_cast<unsigned long long>(f.significand));
  return text;
}

// Biased exponents where behaviour changes, for the random draws to gather around.
constexpr uint16_t kInterestingExponents[] = {
    0,           1,           64,           kBias - 64,   kBias - 1,    kBias,
    kBias + 1,   kBias + 64,  kBias - 126,  kBias - 127,  kBias - 149,  kBias - 150,
    kBias + 127, kBias + 128, kBias - 1022, kBias - 1074, kBias + 1023, kBias + 62,
    kBias + 63,  0x7FFE - 64, 0x7FFE};

}  // namespace

std::string Describe(Op op, const Operands& in) {
  std::string text = Name(op);
  char raw[40];
  switch (op) {
    case Op::kFromFloat:
    case Op::kFromDouble:
    case Op::kFromInt:
    case Op::kFromUnsigned:
    case Op::kFloatThrough:
      std::snprintf(raw, sizeof raw, " of %016llX", static_cast<unsigned long long>(in.raw));
      return text + raw;
    case Op::kBlend:
    case Op::kAddProduct: {
      char three[96];
      std::snprintf(three, sizeof three, " of %s %016llX, floats %08X %08X",
                    op == Op::kBlend ? "f" : "d", static_cast<unsigned long long>(in.raw),
                    static_cast<unsigned>(in.ends), static_cast<unsigned>(in.ends >> 32));
      return text + three;
    }
    default:
      text += " of " + Hex(in.a);
      if (IsBinary(op)) text += ", " + Hex(in.b);
      return text;
  }
}

uint64_t Digest(uint64_t digest, const Outcome& out) {
  const uint64_t words[] = {out.result.signExponent, out.result.significand, out.other, out.faults};
  for (uint64_t word : words) {
    for (int i = 0; i < 64; i += 8) {
      digest ^= (word >> i) & 0xFF;
      digest *= 0x100000001B3;
    }
  }
  return digest;
}

std::string Describe(const Outcome& out) {
  char text[80];
  std::snprintf(text, sizeof text, "%s other %016llX faults %X", Hex(out.result).c_str(),
                static_cast<unsigned long long>(out.other), out.faults);
  return text;
}

const std::vector<Fields>& EdgeValues() {
  static const std::vector<Fields> values = [] {
    std::vector<Fields> v = {
        {0, 0},                              // +0
        {0, 1},                              // smallest denormal
        {0, kOnes >> 1},                     // largest denormal
        {0, kTop},                           // pseudo-denormal, the smallest normal's value
        {0, kTop | 1},                       // pseudo-denormal above it
        {1, kTop},                           // smallest normal
        {1, kTop | 1},                       //
        {2, kTop},                           //
        {kBias, kTop},                       // 1
        {kBias, kTop | 1},                   // 1 + ulp
        {kBias - 1, kOnes},                  // 1 - ulp/2
        {kBias, kOnes},                      // 2 - ulp
        {kBias + 1, kTop | (kTop >> 1)},     // 3
        {kBias - 64, kTop},                  // half an ulp of 1
        {kBias - 65, kTop},                  // a quarter ulp of 1
        {kBias - 64, kTop | 1},              // just above half an ulp
        {kBias - 1, kTop},                   // 0.5
        {kBias, kTop | (kTop >> 1)},         // 1.5
        {kBias + 1, kTop | (kTop >> 2)},     // 2.5
        {kBias + 127, 0xFFFFFF0000000000},   // largest float
        {kBias + 127, 0xFFFFFF8000000000},   // its rounding boundary to 2^128
        {kBias + 127, 0xFFFFFF7FFFFFFFFF},   // just below that boundary
        {kBias + 128, kTop},                 // 2^128
        {kBias - 126, kTop},                 // smallest normal float
        {kBias - 127, kOnes},                // just below it, rounds up to it
        {kBias - 149, kTop},                 // smallest float denormal
        {kBias - 150, kTop},                 // half of it: ties to 0
        {kBias - 150, kTop | 1},             // just above: rounds to it
        {kBias - 149, kTop | (kTop >> 1)},   // 1.5 of it: ties to 2
        {kBias, 0x8000008000000000},         // 1 + half a float ulp: ties to 1
        {kBias, 0x8000018000000000},         // 1 + 3/2 float ulp: ties to 1 + 2 ulp
        {kBias, 0x8000008000000001},         // above the float tie by one extended ulp
        {kBias + 1023, 0xFFFFFFFFFFFFF800},  // largest double
        {kBias - 1074, kTop},                // smallest double denormal
        {kBias + 62, kOnes},                 // 2^63 - 1/2
        {kBias + 63, kTop},                  // 2^63
        {0x8000 | (kBias + 63), kTop},       // -2^63
        {0x8000 | (kBias + 63), kTop | 1},   // -2^63 - 1
        {kBias + 61, kOnes},                 // 2^62 - 1/4
        {kBias + 62, kOnes - 1},             // 2^63 - 1
        {0x7FFE, kOnes},                     // largest finite
        {0x7FFE, kTop},                      //
        {0x7FFF, kTop},                      // infinity
        {0x7FFF, 0xC000000000000000},        // the default NaN's significand
        {0x7FFF, 0xC000000000000001},        // quiet NaN with a payload
        {0x7FFF, 0xFFFFFFFFFFFFFFFF},        //
        {0x7FFF, kTop | 1},                  // signalling NaN
        {0x7FFF, 0xBFFFFFFFFFFFFFFF},        //
        {0x7FFF, 0x4000000000000000},        // pseudo-NaN
        {0x7FFF, 0},                         // pseudo-infinity
        {kBias, 0x4000000000000000},         // unnormal
        {1, 1},                              // unnormal at the bottom
    };
    size_t count = v.size();
    for (size_t i = 0; i < count; ++i)
      v.push_back({static_cast<uint16_t>(v[i].signExponent ^ 0x8000), v[i].significand});
    return v;
  }();
  return values;
}

const std::vector<uint32_t>& EdgeFloats() {
  static const std::vector<uint32_t> values = {
      0x00000000, 0x80000000, 0x00000001, 0x807FFFFF, 0x00800000, 0x3F800000, 0x3F800001,
      0x7F7FFFFF, 0xFF7FFFFF, 0x7F800000, 0xFF800000, 0x7FC00000, 0xFFC00000, 0x7FFFFFFF,
      0x7F800001, 0xFFBFFFFF, 0x3DCCCCCD, 0x4B000001, 0x00400000};
  return values;
}

const std::vector<uint64_t>& EdgeDoubles() {
  static const std::vector<uint64_t> values = {
      0x0000000000000000, 0x8000000000000000, 0x0000000000000001, 0x800FFFFFFFFFFFFF,
      0x0010000000000000, 0x3FF0000000000000, 0x3FF0000000000001, 0x7FEFFFFFFFFFFFFF,
      0x7FF0000000000000, 0xFFF0000000000000, 0x7FF8000000000000, 0xFFF8000000000000,
      0x7FF0000000000001, 0x7FF7FFFFFFFFFFFF, 0x7FFFFFFFFFFFFFFF, 0x3FB999999999999A,
      0x47EFFFFFE0000000, 0x36A0000000000000};
  return values;
}

const std::vector<uint64_t>& EdgeIntegers() {
  static const std::vector<uint64_t> values = {0,
                                               1,
                                               kOnes,
                                               kTop,
                                               kTop - 1,
                                               kTop + 1,
                                               0xFFFFFFFF,
                                               0x100000000,
                                               0x20000000000001,
                                               0x7FFFFFFFFFFFFC00,
                                               0xFFFFFFFFFFFFF800,
                                               12345678901234567};
  return values;
}

namespace {

// The ends of the three-source operations: the edge floats and values where a blend or a
// sum needs its 25th bit.
// A signalling NaN float or double operand of the three-source operations is taken quiet:
// how the x87 build treats one depends on whether the compiler loads it first or hands it
// to the arithmetic instruction (which then prefers the other operand's NaN). No value of
// a run is a NaN.
Operands QuietNaNs(Operands in, Op op) {
  auto quiet = [](uint64_t bits, int width) {
    uint64_t exponent = width == 32 ? 0x7F800000 : 0x7FF0000000000000;
    uint64_t quietBit = width == 32 ? 0x400000 : 0x8000000000000;
    uint64_t all = width == 32 ? 0xFFFFFFFF : ~uint64_t{0};
    bool nan = (bits & exponent) == exponent && (bits & (all >> (width == 32 ? 9 : 12))) != 0;
    return nan ? bits | quietBit : bits;
  };
  in.raw = quiet(in.raw, op == Op::kBlend ? 32 : 64);
  in.ends = quiet(in.ends & 0xFFFFFFFF, 32) | quiet(in.ends >> 32, 32) << 32;
  return in;
}

std::vector<uint32_t> EdgeEnds() {
  std::vector<uint32_t> ends = EdgeFloats();
  ends.insert(ends.end(), {0x3F000000, 0x40400000, 0xC0200000, 0x412DEB85, 0x4B7FFFFF, 0x4B800000,
                           0x00800001, 0x7F000000});
  return ends;
}

}  // namespace

std::vector<Operands> EdgeCases(Op op) {
  std::vector<Operands> cases;
  auto threeSources = [&](std::initializer_list<uint64_t> firsts) {
    std::vector<uint32_t> ends = EdgeEnds();
    for (uint64_t first : firsts) {
      for (uint32_t a : ends) {
        for (uint32_t b : ends)
          cases.push_back(QuietNaNs({{}, {}, first, a | uint64_t{b} << 32}, op));
      }
    }
  };
  auto raws = [&](const auto& list) {
    for (auto r : list) cases.push_back({{}, {}, static_cast<uint64_t>(r)});
  };
  switch (op) {
    case Op::kFromFloat:
    case Op::kFloatThrough:
      raws(EdgeFloats());
      break;
    case Op::kFromDouble:
      raws(EdgeDoubles());
      break;
    case Op::kFromInt:
    case Op::kFromUnsigned:
      raws(EdgeIntegers());
      break;
    case Op::kBlend:  // fractions: 0, -0, 2^-17 and below, 1/2, 1 - ulp, 1, 0.1, 2^-40, ...
      threeSources({0x00000000, 0x80000000, 0x37000000, 0x36FFFFFF, 0x3F000000, 0x3F7FFFFF,
                    0x3F800000, 0x3DCCCCCD, 0x2B800000, 0x3FC00000, 0x00000001, 0x7FC00000,
                    0x7F800000, 0xBF000000});
      break;
    case Op::kAddProduct:  // d: 0, -0, -1, 1/2, 2^-31, 1 - 2^-31, 0.1, 2^511, 2^512, ...
      threeSources({0x0000000000000000, 0x8000000000000000, 0xBFF0000000000000, 0x3FE0000000000000,
                    0x3E00000000000000, 0x3FEFFFFFFFC00000, 0x3FB999999999999A, 0x5FE0000000000000,
                    0x5FF0000000000000, 0xE570000000000000, 0x0000000000000001, 0x0170000000000000,
                    0x7FF0000000000000, 0x7FF8000000000000, 0xBFE8000000000000});
      break;
    default:
      for (const Fields& a : EdgeValues()) {
        if (!IsBinary(op)) {
          cases.push_back({a, {}, 0});
          continue;
        }
        for (const Fields& b : EdgeValues()) cases.push_back({a, b, 0});
      }
  }
  return cases;
}

uint64_t RandomOperands::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
  return z ^ (z >> 31);
}

uint64_t RandomOperands::Significand() {
  uint64_t r = Next();
  switch (Below(6)) {
    case 0:
      return r;  // uniform
    case 1:
      return kTop | (r & (r >> 7) & (r >> 13) & (r >> 21));  // a few bits: exact sums, ties
    case 2:
      return kOnes << Below(64) | (r & Below(2));  // runs of ones: carries
    case 3:
      return (r & 0xFFFFFF0000000000) | (kTop >> 24) | (r & Below(2));  // a float tie
    case 4:
      return kTop | (r >> (1 + Below(63)));  // near a power of two
    default:
      return (r & 0xFFFFFFFFFFFFF800) | (r & (0x400 << Below(2)));  // near a double
  }
}

Fields RandomOperands::Extended() {
  uint64_t r = Next();
  uint16_t sign = (r & 1) != 0 ? 0x8000 : 0;
  if (Below(16) == 0) return {static_cast<uint16_t>(r >> 48), Next()};  // any bits at all
  uint64_t significand = Significand() | kTop;
  int exponent;
  switch (Below(8)) {
    case 0:
      exponent = static_cast<int>(Below(0x7FFF));
      break;
    case 1:
      exponent = 0x7FFF;
      break;
    default: {
      int centre = kInterestingExponents[Below(std::size(kInterestingExponents))];
      int spread = Below(4) == 0 ? 70 : 3;
      exponent = centre + static_cast<int>(Below(2 * spread + 1)) - spread;
    }
  }
  if (exponent <= 0) {
    exponent = 0;
    if (Below(32) != 0) significand >>= 1 + Below(63);  // a denormal, now and then a pseudo one
  }
  if (exponent > 0x7FFF) exponent = 0x7FFF;
  if (exponent == 0x7FFF) {
    switch (Below(4)) {
      case 0:
        significand = kTop;
        break;  // infinity
      case 1:
        significand = kTop | (significand >> 2);
        break;  // signalling (or infinity)
      default:
        significand |= kTop >> 1;  // quiet NaN
    }
  }
  if (exponent != 0 && Below(64) == 0) significand &= ~kTop;  // unnormal or pseudo-special
  return {static_cast<uint16_t>(sign | exponent), significand};
}

Fields RandomOperands::Near(Fields x) {
  Fields y = Extended();
  switch (Below(4)) {
    case 0: {  // nearby exponent, the other's sign: alignment, cancellation and ties
      int exponent = (x.signExponent & 0x7FFF) + static_cast<int>(Below(141)) - 70;
      if (exponent < 0 || exponent > 0x7FFE) return y;
      y.signExponent = static_cast<uint16_t>((y.signExponent & 0x8000) | exponent);
      if (exponent == 0) y.significand &= ~kTop;
      return y;
    }
    case 1:  // almost the same value: massive cancellation
      y.signExponent = x.signExponent ^ (Below(2) != 0 ? 0x8000 : 0);
      y.significand = x.significand ^ (Next() >> Below(64) >> 1);
      return y;
    default:
      return y;
  }
}

uint32_t RandomOperands::Float() {
  uint32_t r = static_cast<uint32_t>(Next());
  static constexpr uint32_t kExponents[] = {0, 1, 2, 126, 127, 128, 253, 254, 255};
  if (Below(4) == 0) return r;
  uint32_t exponent = kExponents[Below(std::size(kExponents))];
  return (r & 0x807FFFFF) | exponent << 23;
}

uint64_t RandomOperands::Double() {
  uint64_t r = Next();
  static constexpr uint64_t kExponents[] = {
      0, 1, 2, 1022, 1023, 1024, 2045, 2046, 2047, 1023 - 126, 1023 - 149, 1023 + 127, 1023 + 128};
  if (Below(4) == 0) return r;
  return (r & 0x800FFFFFFFFFFFFF) | kExponents[Below(std::size(kExponents))] << 52;
}

uint64_t RandomOperands::Integer() {
  uint64_t r = Next() >> Below(64);
  return Below(2) != 0 ? 0 - r : r;
}

namespace {

uint32_t FloatBits(double x) { return std::bit_cast<uint32_t>(static_cast<float>(x)); }
uint64_t DoubleBits(double x) { return std::bit_cast<uint64_t>(x); }

}  // namespace

// A normal float with a full random significand, sign and the given biased exponent.
uint32_t RandomOperands::FullFloat(int exponent) {
  exponent = std::clamp(exponent, 1, 254);
  return static_cast<uint32_t>(Next() & 0x807FFFFF) | static_cast<uint32_t>(exponent) << 23;
}

// A float of a few bits: a small whole number times a power of two near 1.
uint32_t RandomOperands::FewBits() {
  double x = static_cast<double>(1 + Below(255)) * std::ldexp(1.0, static_cast<int>(Below(17)) - 8);
  return FloatBits(Below(4) == 0 ? -x : x);
}

// f of the blends: anything, 24 random bits in [0, 1), a few bits, tiny, 0 or 1.
uint32_t RandomOperands::Fraction() {
  switch (Below(6)) {
    case 0:
      return Float();
    case 1:
      return FloatBits(static_cast<double>(Next() >> 40) * 0x1p-24);
    case 2:
      return FloatBits(static_cast<double>(Below(64)) / 64);
    case 3:
      return FullFloat(127 - 18 - static_cast<int>(Below(50))) & 0x7FFFFFFF;
    default:
      return Below(2) != 0 ? 0x3F800000 : 0;
  }
}

// Blends and sums whose exact result lies on the point halfway between two floats, or a
// few units of 2^-k of a float step off it (k up to 47 for the blends, 52 for the sums):
// there the x87's two roundings decide, and a double sum can land on the wrong side.
Operands RandomOperands::Blend() {
  uint32_t f = Fraction(), from, to;
  int exponent = 100 + static_cast<int>(Below(60));
  switch (Below(4)) {
    case 0:
      from = Float(), to = Float();
      break;
    case 1:  // full significands, exponents near each other, either sign
      from = FullFloat(exponent), to = FullFloat(exponent + static_cast<int>(Below(141)) - 70);
      break;
    case 2:
      from = FewBits(), to = FewBits();
      break;
    default: {
      // f = 2^-k and to - from = +-(2^(k-1) + j) steps of from: the blend is from plus or
      // minus half a step, plus or minus j 2^-k steps. from's low bits make `to` a float.
      int k = 25 + static_cast<int>(Below(23));
      int64_t j = static_cast<int64_t>(Below(7)) - 3, direction = Below(2) != 0 ? 1 : -1;
      int64_t lowMask = (int64_t{1} << (k - 24)) - 1;
      int64_t steps = static_cast<int64_t>((Next() & 0x7FFFFF) | 0x800000);
      steps = (steps & ~lowMask) | ((-direction * j) & lowMask);
      double step = std::ldexp(1.0, exponent - 127 - 23), sign = Below(2) != 0 ? 1.0 : -1.0;
      f = FloatBits(std::ldexp(1.0, -k));
      from = FloatBits(sign * static_cast<double>(steps) * step);
      to = FloatBits(sign * static_cast<double>(steps + direction * ((int64_t{1} << (k - 1)) + j)) *
                     step);
    }
  }
  return {{}, {}, f, from | uint64_t{to} << 32};
}

Operands RandomOperands::AddProduct() {
  uint32_t x = Float(), m = Float();
  double d;
  switch (Below(5)) {
    case 0:  // as a run draws it: a whole multiple of 2^-31 in [-1, 1)
      d = static_cast<double>(static_cast<int32_t>(Next())) * 0x1p-31;
      m = FullFloat(100 + static_cast<int>(Below(30)));
      x = Below(2) != 0 ? x : FullFloat(100 + static_cast<int>(Below(30)));
      break;
    case 1:
      d = std::bit_cast<double>(Double());
      break;
    case 2:  // 53 random bits in (-1, 1)
      d = static_cast<double>(static_cast<int64_t>(Next()) >> 10) * 0x1p-53;
      m = Below(2) != 0 ? m : FewBits();
      break;
    case 3: {
      // A tie point 2^-c of x's size; d = (tie - x) / m rounds, so the exact sum lies
      // within about 2^(c-53) of the tie, and a double's own rounding of d * m is as large.
      int exponent = 100 + static_cast<int>(Below(60)), c = static_cast<int>(Below(31));
      x = FullFloat(exponent);
      m = FullFloat(100 + static_cast<int>(Below(30)));
      double tie = static_cast<double>((Next() & 0xFFFFFF) | 0x1000001) *
                   std::ldexp(Below(2) != 0 ? 1.0 : -1.0, exponent - 127 - 24 - c);
      d = (tie - std::bit_cast<float>(x)) / std::bit_cast<float>(m);
      break;
    }
    default: {
      // m a power of 2 and d * m = +-(1/2 + j 2^-k) of x's float step.
      int exponent = 100 + static_cast<int>(Below(60)), k = 20 + static_cast<int>(Below(33));
      double j = static_cast<double>(static_cast<int64_t>(Below(7)) - 3);
      double step = std::ldexp(1.0, exponent - 127 - 23);
      x = FullFloat(exponent);
      m = FloatBits(std::ldexp(1.0, static_cast<int>(Below(41)) - 20));
      d = (Below(2) != 0 ? 1.0 : -1.0) * (0.5 + j * std::ldexp(1.0, -k)) * step /
          std::bit_cast<float>(m);
    }
  }
  return {{}, {}, DoubleBits(d), x | uint64_t{m} << 32};
}

Operands RandomOperands::Draw(Op op) {
  Operands in;
  switch (op) {
    case Op::kBlend:
    case Op::kAddProduct: {
      // The fitting arithmetic must not leave its own float flags to the operation.
      std::fenv_t saved;
      std::feholdexcept(&saved);
      in = QuietNaNs(op == Op::kBlend ? Blend() : AddProduct(), op);
      std::fesetenv(&saved);
      return in;
    }
    case Op::kFromFloat:
    case Op::kFloatThrough:
      in.raw = Float();
      break;
    case Op::kFromDouble:
      in.raw = Double();
      break;
    case Op::kFromInt:
    case Op::kFromUnsigned:
      in.raw = Integer();
      break;
    default:
      in.a = Extended();
      if (IsBinary(op)) in.b = Below(2) != 0 ? Near(in.a) : Extended();
  }
  return in;
}

}  // namespace extended_cases
