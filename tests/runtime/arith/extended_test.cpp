// The extended type through its interface: fields, the rounding to integers that the
// digit writing relies on, quiet compares, and the faults of the conversions.
#include "runtime/arith/extended.h"

#include <gtest/gtest.h>

#include "extended_values.h"

namespace {

TEST(Extended, FieldsOfExactValues) {
  struct Row {
    const char* label;
    Extended x;
    ExtendedBits bits;
  } const rows[] = {
      {"1", X(1.0), {false, 16383, 0x8000000000000000u}},
      {"-0", X(-0.0), {true, 0, 0}},
      {"x - x is +0", X(2.5) - X(2.5), {false, 0, 0}},
      {"0.75", X(0.75), {false, 16382, 0xC000000000000000u}},
      {"float 0.1", Extended(0.1f), {false, 16383 - 4, 0xCCCCCD0000000000u}},
      {"2^64 - 1", Extended::FromUnsigned(~uint64_t{0}), {false, 16383 + 63, ~uint64_t{0}}},
      {"most negative int64", Extended::FromInt(INT64_MIN), {true, 16383 + 63, 1ull << 63}},
      {"smallest denormal halved to 0", kXSmallestDenormal / X(2.0), {false, 0, 0}},
      {"1 / 3 rounds to nearest", X(1.0) / X(3.0), {false, 16381, 0xAAAAAAAAAAAAAAABu}},
  };
  for (const Row& row : rows) EXPECT_EQ(Bits(row.x), row.bits) << row.label;
  EXPECT_TRUE(kXInfinity.IsInfinite());
  EXPECT_FALSE(kXInfinity.IsNaN());
  EXPECT_TRUE(kXNaN.IsNaN());
  EXPECT_FALSE(kXLargest.IsNaN() || kXLargest.IsInfinite());
}

// What the decimal conversions ask of a value: its power of two, and which specials it
// is. A special exponent with a significand other than the leading bit alone is no
// infinity (pseudo-infinity included), so the writer calls it "Nan".
TEST(Extended, BinaryExponentAndClassOfEveryKindOfValue) {
  struct Row {
    const char* label;
    Extended x;
    int32_t binaryExponent;  // for finite values with a significand
    bool finite, infinite, nan;
  } const rows[] = {
      {"1", X(1.0), 0, true, false, false},
      {"0.75", X(0.75), -1, true, false, false},
      {"-3", X(-3.0), 1, true, false, false},
      {"2^63", Extended::FromUnsigned(uint64_t{1} << 63), 63, true, false, false},
      {"largest", kXLargest, 16384 - 1, true, false, false},
      {"smallest normal", kXSmallestNormal, -16382, true, false, false},
      {"smallest denormal", kXSmallestDenormal, -16382 - 63, true, false, false},
      {"denormal 2^-16383", XFields(false, 0, 1ull << 62), -16383, true, false, false},
      {"pseudo-denormal", XFields(false, 0, 1ull << 63), -16382, true, false, false},
      {"+infinity", Extended::Infinity(false), 0, false, true, false},
      {"-infinity", Extended::Infinity(true), 0, false, true, false},
      {"pseudo-infinity", XFields(false, 0x7FFF, 0), 0, false, false, false},
      {"default NaN", kXNaN, 0, false, false, true},
      {"pseudo-NaN", XFields(false, 0x7FFF, 1), 0, false, false, true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.x.IsFinite(), row.finite) << row.label;
    EXPECT_EQ(row.x.IsInfinite(), row.infinite) << row.label;
    EXPECT_EQ(row.x.IsNaN(), row.nan) << row.label;
    if (row.finite) EXPECT_EQ(row.x.BinaryExponent(), row.binaryExponent) << row.label;
  }
  EXPECT_EQ(Bits(Extended::Infinity(true)), Bits(-kXInfinity));
  EXPECT_TRUE(Extended::Infinity(false) > kXLargest);
}

TEST(Extended, RoundToInt64TiesToEven) {
  struct Row {
    Extended x;
    int64_t rounded;
    int64_t truncated;
  } const rows[] = {
      {X(0.5), 0, 0},
      {X(1.5), 2, 1},
      {X(2.5), 2, 2},
      {X(-2.5), -2, -2},
      {X(-3.5), -4, -3},
      {X(2.4999), 2, 2},
      {X(-0.0), 0, 0},
      {X(0x1p62) + X(0.5), 1ll << 62, 1ll << 62},
      {X(0x1p62) + X(1.5), (1ll << 62) + 2, (1ll << 62) + 1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.x.RoundToInt64(), row.rounded) << row.x;
    EXPECT_EQ(row.x.TruncateToInt64(), row.truncated) << row.x;
  }
  ArithmeticCheckpoint();
}

TEST(Extended, ComparesWithANaNAreFalseAndQuiet) {
  Extended nan = Opaque(kXNaN);
  EXPECT_FALSE(nan < X(1.0) || nan > X(1.0) || nan <= X(1.0) || nan >= X(1.0) || nan == nan);
  EXPECT_TRUE(nan != nan);
  EXPECT_TRUE(-X(0.0) == X(0.0));
  EXPECT_TRUE(X(1.0) < kXInfinity && -kXInfinity < -kXLargest);
  ArithmeticCheckpoint();  // no invalid operation is pending
}

volatile int64_t gConverted;

TEST(ExtendedDeathTest, ConversionsOutOfRangeAreInvalid) {
  EXPECT_EXIT((gConverted = Opaque(X(0x1p63)).RoundToInt64(), ArithmeticCheckpoint()),
              testing::ExitedWithCode(207), "");
  EXPECT_EXIT((gConverted = Opaque(-X(0x1p64)).TruncateToInt64(), ArithmeticCheckpoint()),
              testing::ExitedWithCode(207), "");
  EXPECT_EXIT((gConverted = Opaque(kXNaN).TruncateToInt64(), ArithmeticCheckpoint()),
              testing::ExitedWithCode(207), "");
  EXPECT_EXIT(ToFloat(Opaque(X(0x1p128))), testing::ExitedWithCode(205), "");
}

}  // namespace
