// SoftExtended where no x87 unit is at hand: the x87 outcomes captured on x86-64, and the
// faults, zeros and NaNs the x87 rules fix, checked on the processor the tests run on.
#include "runtime/arith/extended_soft.h"

#include <gtest/gtest.h>

#include "extended_cases.h"
#include "extended_soft_x87_outcomes.h"
#include "runtime/arith/extended.h"
#include "runtime/platform/error_codes.h"

namespace {

using namespace extended_cases;

constexpr unsigned kInvalid = SoftExtended::kSoftInvalid;
constexpr unsigned kZeroDivide = SoftExtended::kSoftZeroDivide;
constexpr unsigned kOverflow = SoftExtended::kSoftOverflow;

constexpr uint16_t kBias = 16383;
constexpr uint16_t kMinus = 0x8000;
constexpr uint64_t kTop = uint64_t{1} << 63;
constexpr uint64_t kOnes = ~uint64_t{0};
constexpr Fields kZero{0, 0};
constexpr Fields kOne{kBias, kTop};
constexpr Fields kInfinity{0x7FFF, kTop};
constexpr Fields kQuietNaN{0x7FFF, 0xC000000000000123};
constexpr Fields kSignallingNaN{0x7FFF, kTop | 0x123};
constexpr Fields kLargest{0x7FFE, kOnes};
constexpr Fields kDefaultNaN{0xFFFF, 0xC000000000000000};

Fields Negated(Fields f) { return {static_cast<uint16_t>(f.signExponent ^ kMinus), f.significand}; }

unsigned TakeFaults() {
  unsigned faults = SoftExtended::Faults();
  SoftExtended::ClearFaults();
  return faults;
}

class SoftExtendedTest : public testing::Test {
 protected:
  void SetUp() override { SoftExtended::ClearFaults(); }
  void TearDown() override { SoftExtended::ClearFaults(); }
};

TEST_F(SoftExtendedTest, OneOperandEdgeCasesGiveTheCapturedX87Outcomes) {
  int checked = 0;
  for (const CapturedOutcome& row : kCapturedOutcomes) {
    Operands in = EdgeCases(row.op).at(row.index);
    Outcome soft = extended_cases::Run<SoftExtended>(row.op, in, TakeFaults);
    EXPECT_EQ(soft, row.outcome) << Describe(row.op, in) << "\n  soft " << Describe(soft)
                                 << "\n  x87  " << Describe(row.outcome);
    ++checked;
  }
  EXPECT_GT(checked, 400);
}

// The two-operand edge cases and the random draws are long; they are checked against the
// fingerprint of the x87 outcomes (on x86-64, extended_soft_vs_x87_test names the case).
TEST_F(SoftExtendedTest, EveryOperationMatchesTheCapturedX87Fingerprints) {
  for (const CapturedFingerprint& captured : kCapturedFingerprints) {
    uint64_t edges = kDigestStart, draws = kDigestStart;
    for (const Operands& in : EdgeCases(captured.op)) {
      edges = Digest(edges, extended_cases::Run<SoftExtended>(captured.op, in, TakeFaults));
    }
    RandomOperands source(kCapturedSeed);
    for (int i = 0; i < kCapturedDraws; ++i) {
      Operands in = source.Draw(captured.op);
      draws = Digest(draws, extended_cases::Run<SoftExtended>(captured.op, in, TakeFaults));
    }
    EXPECT_EQ(edges, captured.edges) << Name(captured.op) << ": edge cases";
    EXPECT_EQ(draws, captured.draws) << Name(captured.op) << ": random draws";
  }
}

// Which fault each boundary raises; none of the others (underflow, inexact) is kept.
struct FaultCase {
  const char* what;
  Op op;
  Fields a, b;
  uint64_t raw;
  unsigned faults;
};

TEST_F(SoftExtendedTest, EachBoundaryRaisesItsFault) {
  const FaultCase cases[] = {
      {"0 / 0", Op::kDivide, kZero, kZero, 0, kInvalid},
      {"1 / 0", Op::kDivide, kOne, kZero, 0, kZeroDivide},
      {"-1 / -0", Op::kDivide, Negated(kOne), Negated(kZero), 0, kZeroDivide},
      {"inf / 0", Op::kDivide, kInfinity, kZero, 0, 0},
      {"inf / inf", Op::kDivide, kInfinity, kInfinity, 0, kInvalid},
      {"inf - inf", Op::kSubtract, kInfinity, kInfinity, 0, kInvalid},
      {"inf + -inf", Op::kAdd, kInfinity, Negated(kInfinity), 0, kInvalid},
      {"0 * inf", Op::kMultiply, kZero, kInfinity, 0, kInvalid},
      {"largest + largest", Op::kAdd, kLargest, kLargest, 0, kOverflow},
      {"largest + half its ulp (ties up)", Op::kAdd, kLargest, {0x7FFE - 64, kTop}, 0, kOverflow},
      {"largest + just under half its ulp", Op::kAdd, kLargest, {0x7FFE - 65, kOnes}, 0, 0},
      {"largest * (1 + ulp)", Op::kMultiply, kLargest, {kBias, kTop | 1}, 0, kOverflow},
      {"largest / 0.5", Op::kDivide, kLargest, {kBias - 1, kTop}, 0, kOverflow},
      {"smallest denormal * 0.5 (underflow kept silent)",
       Op::kMultiply,
       {0, 1},
       {kBias - 1, kTop},
       0,
       0},
      {"float rounding boundary",
       Op::kToFloat,
       {kBias + 127, 0xFFFFFF8000000000},
       {},
       0,
       kOverflow},
      {"just below the float rounding boundary",
       Op::kToFloat,
       {kBias + 127, 0xFFFFFF7FFFFFFFFF},
       {},
       0,
       0},
      {"infinity to float", Op::kToFloat, kInfinity, {}, 0, 0},
      {"2^63 truncated", Op::kTruncate, {kBias + 63, kTop}, {}, 0, kInvalid},
      {"-2^63 truncated", Op::kTruncate, {kMinus | (kBias + 63), kTop}, {}, 0, 0},
      {"-2^63 - 1 rounded", Op::kRound, {kMinus | (kBias + 63), kTop | 1}, {}, 0, kInvalid},
      {"2^63 - 1/2 rounded: ties to 2^63", Op::kRound, {kBias + 62, kOnes}, {}, 0, kInvalid},
      {"2^63 - 1/2 truncated", Op::kTruncate, {kBias + 62, kOnes}, {}, 0, 0},
      {"2^63 - 1 rounded", Op::kRound, {kBias + 62, kOnes - 1}, {}, 0, 0},
      {"infinity rounded", Op::kRound, kInfinity, {}, 0, kInvalid},
      {"quiet NaN truncated", Op::kTruncate, kQuietNaN, {}, 0, kInvalid},
      {"quiet NaN + 1", Op::kAdd, kQuietNaN, kOne, 0, 0},
      {"quiet NaN compared", Op::kCompare, kQuietNaN, kOne, 0, 0},
      {"signalling NaN + 1", Op::kAdd, kSignallingNaN, kOne, 0, kInvalid},
      {"signalling NaN compared", Op::kCompare, kOne, kSignallingNaN, 0, kInvalid},
      {"signalling NaN negated", Op::kNegate, kSignallingNaN, {}, 0, 0},
      {"signalling float NaN widened", Op::kFromFloat, {}, {}, 0x7F800001, kInvalid},
      {"quiet float NaN widened", Op::kFromFloat, {}, {}, 0x7FC00001, 0},
      {"unnormal + 1", Op::kAdd, {kBias, kTop >> 1}, kOne, 0, kInvalid},
      {"pseudo-infinity to float", Op::kToFloat, {0x7FFF, 0}, {}, 0, kInvalid},
  };
  for (const FaultCase& c : cases) {
    Outcome out = extended_cases::Run<SoftExtended>(c.op, {c.a, c.b, c.raw}, TakeFaults);
    EXPECT_EQ(out.faults, c.faults) << c.what;
  }
}

#if ALLOCATE_SOFT_EXTENDED
// The checkpoint stops with one code however many faults are pending: invalid before
// zero-divide before overflow.
TEST_F(SoftExtendedTest, PendingFaultsGiveOneStopCodeByPriority) {
  const struct {
    std::vector<Op> ops;  // on 1 / 0 for divide, largest * largest for multiply, 0 * inf for add
    uint8_t code;
  } cases[] = {
      {{}, 0},
      {{Op::kMultiply}, kFloatOverflow},
      {{Op::kDivide}, kDivisionByZero},
      {{Op::kAdd}, kInvalidOperation},
      {{Op::kMultiply, Op::kDivide}, kDivisionByZero},
      {{Op::kDivide, Op::kMultiply}, kDivisionByZero},
      {{Op::kMultiply, Op::kAdd, Op::kDivide}, kInvalidOperation},
  };
  SoftExtended one = SoftExtended::FromInt(1),
               largest = SoftExtended::FromFields(false, 0x7FFE, kOnes);
  SoftExtended infinity = SoftExtended::Infinity(false);
  for (const auto& c : cases) {
    LoadArithmeticSetting();
    for (Op op : c.ops) {
      if (op == Op::kDivide) (void)(one / SoftExtended());
      if (op == Op::kMultiply) (void)(largest * largest);
      if (op == Op::kAdd) (void)(SoftExtended() * infinity);
    }
    EXPECT_EQ(PendingArithmeticFault(), c.code) << c.ops.size() << " operations";
    EXPECT_EQ(PendingArithmeticFault(), c.code) << "reading the flags keeps them";
  }
  LoadArithmeticSetting();
}
#endif

// Zeros carry the x87's signs (x - x is +0 when rounding to nearest); an invalid operation
// gives the default NaN, the same on every processor since formatting reads its bits.
TEST_F(SoftExtendedTest, ZerosAndTheDefaultNaNHaveTheX87Bits) {
  const Fields three{kBias + 1, kTop | (kTop >> 1)};
  const struct {
    const char* what;
    Op op;
    Fields a, b, result;
  } cases[] = {
      {"3 - 3", Op::kSubtract, three, three, kZero},
      {"-3 + 3", Op::kAdd, Negated(three), three, kZero},
      {"-0 + -0", Op::kAdd, Negated(kZero), Negated(kZero), Negated(kZero)},
      {"-0 - +0", Op::kSubtract, Negated(kZero), kZero, Negated(kZero)},
      {"+0 + -0", Op::kAdd, kZero, Negated(kZero), kZero},
      {"-0 * 3", Op::kMultiply, Negated(kZero), three, Negated(kZero)},
      {"3 / -inf", Op::kDivide, three, Negated(kInfinity), Negated(kZero)},
      {"0 / 0", Op::kDivide, kZero, kZero, kDefaultNaN},
      {"inf - inf", Op::kSubtract, kInfinity, kInfinity, kDefaultNaN},
      {"-0 * inf", Op::kMultiply, Negated(kZero), kInfinity, kDefaultNaN},
      {"unnormal * quiet NaN", Op::kMultiply, {kBias, 1}, kQuietNaN, kDefaultNaN},
  };
  for (const auto& c : cases) {
    Outcome out = extended_cases::Run<SoftExtended>(c.op, {c.a, c.b, 0}, TakeFaults);
    EXPECT_EQ(out.result.signExponent, c.result.signExponent) << c.what;
    EXPECT_EQ(out.result.significand, c.result.significand) << c.what;
  }
  EXPECT_EQ(std::bit_cast<uint32_t>((SoftExtended() / SoftExtended()).RoundToFloat()), 0xFFC00000u);
}

}  // namespace
