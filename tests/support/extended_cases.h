#pragma once
// The operands the extended-type checks run: one operation of the extended interface on
// given operands, its outcome as bits plus the faults it records, and generators of edge
// and random operands. Needs no x87 unit, so the same cases run on every processor.

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace extended_cases {

enum class Op {
  kAdd,
  kSubtract,
  kMultiply,
  kDivide,
  kCompare,
  kNegate,
  kFromFloat,
  kFromDouble,
  kFromInt,
  kFromUnsigned,
  kToFloat,
  kTruncate,
  kRound,
  kFloatThrough,
  kToDouble,
  kBlend,      // Blend(f, from, to)
  kAddProduct  // AddProduct(x, d, m)
};
inline constexpr Op kEveryOp[] = {
    Op::kAdd,     Op::kSubtract,  Op::kMultiply,   Op::kDivide,       Op::kCompare,
    Op::kNegate,  Op::kFromFloat, Op::kFromDouble, Op::kFromInt,      Op::kFromUnsigned,
    Op::kToFloat, Op::kTruncate,  Op::kRound,      Op::kFloatThrough, Op::kToDouble,
    Op::kBlend,   Op::kAddProduct};
const char* Name(Op op);
bool IsBinary(Op op);
bool HasThreeSources(Op op);  // kBlend, kAddProduct

// An extended value as its fields: sign in bit 15 of signExponent.
struct Fields {
  uint16_t signExponent = 0;
  uint64_t significand = 0;
};

// Two extended operands, and the raw bits of a float, double or integer source. The
// three-source operations take raw (f's float bits for kBlend, d's double bits for
// kAddProduct) and two floats in `ends`, low 32 bits first (from and to; x and m).
struct Operands {
  Fields a, b;
  uint64_t raw = 0;
  uint64_t ends = 0;
};

// What an operation gave: an extended result, or another result's bits (float bits,
// integer, the six compares as bits <, >, <=, >=, ==, !=), and the faults recorded, as
// x87 status bits 0x01 invalid, 0x04 zero-divide, 0x08 overflow.
struct Outcome {
  Fields result;
  uint64_t other = 0;
  unsigned faults = 0;
  bool operator==(const Outcome& o) const {
    return result.signExponent == o.result.signExponent &&
           result.significand == o.result.significand && other == o.other && faults == o.faults;
  }
};

// Hides a value from the optimiser, so that the implementation computes every result at
// run time (a float widened and rounded back would otherwise fold away, NaN quieting and all).
template <class T>
T Hidden(T x) {
  asm volatile("" : "+m"(x));
  return x;
}

// The faults recorded since the last call, cleared: the soft type's sticky flags, and the
// x87 unit's status word (the x87 side runs with its faults masked, so they only collect).
unsigned TakeSoftFaults();
unsigned TakeX87Faults();

inline float FloatOf(uint64_t bits) { return std::bit_cast<float>(static_cast<uint32_t>(bits)); }

// Runs op on the operands with an implementation E of the extended interface; takeFaults
// returns the faults recorded since the last call and clears them.
template <class E, class TakeFaults>
Outcome Run(Op op, const Operands& in, TakeFaults takeFaults) {
  auto make = [](Fields f) {
    return E::FromFields((f.signExponent & 0x8000) != 0, f.signExponent & 0x7FFF, f.significand);
  };
  auto fields = [](E x) {
    return Fields{static_cast<uint16_t>((x.Negative() ? 0x8000 : 0) | x.Exponent()),
                  x.Significand()};
  };
  E a = Hidden(make(in.a)), b = Hidden(make(in.b));
  Outcome out;
  switch (op) {
    case Op::kAdd:
      out.result = fields(a + b);
      break;
    case Op::kSubtract:
      out.result = fields(a - b);
      break;
    case Op::kMultiply:
      out.result = fields(a * b);
      break;
    case Op::kDivide:
      out.result = fields(a / b);
      break;
    case Op::kCompare:
      out.other =
          (a < b) | (a > b) << 1 | (a <= b) << 2 | (a >= b) << 3 | (a == b) << 4 | (a != b) << 5;
      break;
    case Op::kNegate:
      out.result = fields(-a);
      break;
    case Op::kFromFloat:
      out.result = fields(E(std::bit_cast<float>(static_cast<uint32_t>(in.raw))));
      break;
    case Op::kFromDouble:
      out.result = fields(E(std::bit_cast<double>(in.raw)));
      break;
    case Op::kFromInt:
      out.result = fields(E::FromInt(static_cast<int64_t>(in.raw)));
      break;
    case Op::kFromUnsigned:
      out.result = fields(E::FromUnsigned(in.raw));
      break;
    case Op::kToFloat:
      out.other = std::bit_cast<uint32_t>(a.RoundToFloat());
      break;
    case Op::kToDouble:
      out.other = std::bit_cast<uint64_t>(a.RoundToDouble());
      break;
    case Op::kTruncate:
      out.other = static_cast<uint64_t>(a.TruncateToInt64());
      break;
    case Op::kRound:
      out.other = static_cast<uint64_t>(a.RoundToInt64());
      break;
    case Op::kBlend:
      out.other = std::bit_cast<uint32_t>(E::Blend(
          Hidden(FloatOf(in.raw)), Hidden(FloatOf(in.ends)), Hidden(FloatOf(in.ends >> 32))));
      break;
    case Op::kAddProduct:
      out.other = std::bit_cast<uint32_t>(E::AddProduct(Hidden(FloatOf(in.ends)),
                                                        Hidden(std::bit_cast<double>(in.raw)),
                                                        Hidden(FloatOf(in.ends >> 32))));
      break;
    case Op::kFloatThrough: {
      E x = Hidden(E(std::bit_cast<float>(static_cast<uint32_t>(in.raw))));
      out.result = fields(x);
      out.other = std::bit_cast<uint32_t>(x.RoundToFloat());
      break;
    }
  }
  out.faults = takeFaults();
  return out;
}

// FNV-1a over an outcome's bits, for checking long runs against a captured fingerprint.
uint64_t Digest(uint64_t digest, const Outcome& out);
inline constexpr uint64_t kDigestStart = 0xCBF29CE484222325;

std::string Describe(Op op, const Operands& in);
std::string Describe(const Outcome& out);

// Extended values where the arithmetic changes behaviour: zeros, denormals, the normal
// limits, the float, double and int64 limits and halfway points, infinities, NaNs and the
// encodings the x87 unit rejects.
const std::vector<Fields>& EdgeValues();
const std::vector<uint32_t>& EdgeFloats();
const std::vector<uint64_t>& EdgeDoubles();
const std::vector<uint64_t>& EdgeIntegers();

// Every edge case of op: the edge values (pairs of them for a binary op), or the edge
// sources of a conversion.
std::vector<Operands> EdgeCases(Op op);

// Random operands, reproducible from the seed. Exponents favour the places where rounding,
// range and representation change (near 1, the float, double and int64 ranges, the
// extended limits, denormals and the specials); significands favour patterns that make
// ties and cancellation; a share of draws are plain uniform bits.
class RandomOperands {
 public:
  explicit RandomOperands(uint64_t seed) : state_(seed) {}
  Operands Draw(Op op);
  uint64_t Next();  // splitmix64

 private:
  uint64_t Below(uint64_t n) { return Next() % n; }
  Fields Extended();
  Fields Near(Fields x);  // a second operand tied to the first by exponent or bits
  uint64_t Significand();
  uint32_t Float();
  uint64_t Double();
  uint64_t Integer();
  uint32_t FullFloat(int exponent);
  uint32_t FewBits();
  uint32_t Fraction();
  Operands Blend();
  Operands AddProduct();
  uint64_t state_;
};

}  // namespace extended_cases
