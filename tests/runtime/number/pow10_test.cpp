#include "runtime/number/pow10.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "extended_values.h"

namespace {

// The exact integer 10^n in base 2^32 limbs, least significant first.
std::vector<uint64_t> ExactPowerOfTen(int n) {
  std::vector<uint64_t> limbs{1};
  for (int k = 0; k < n; ++k) {
    uint64_t carry = 0;
    for (auto& limb : limbs) {
      uint64_t product = limb * 10 + carry;
      limb = product & 0xFFFFFFFFu;
      carry = product >> 32;
    }
    if (carry) limbs.push_back(carry);
  }
  return limbs;
}

int BitLength(const std::vector<uint64_t>& limbs) {
  return 32 * static_cast<int>(limbs.size() - 1) + (64 - __builtin_clzll(limbs.back()));
}

bool Bit(const std::vector<uint64_t>& limbs, int index) {
  return (limbs[index / 32] >> (index % 32)) & 1;
}

// 10^n rounded to a 64-bit significand, ties to even, from the exact integer: the fields
// every table entry must have (recomputed here, not copied from the table).
ExtendedBits NearestExtended(int n) {
  auto limbs = ExactPowerOfTen(n);
  int length = BitLength(limbs);
  int drop = std::max(0, length - 64);
  unsigned __int128 significand = 0;
  for (int b = length - 1; b >= drop; --b) significand = significand << 1 | Bit(limbs, b);
  if (drop > 0) {
    bool half = Bit(limbs, drop - 1);
    bool sticky = false;
    for (int b = 0; b < drop - 1 && !sticky; ++b) sticky = Bit(limbs, b);
    if (half && (sticky || (significand & 1))) ++significand;
  }
  int exponent = 16383 + length - 1;
  // A carry out of 64 bits: 10^0 .. 10^27 are exact, so it never meets a set low bit.
  if (significand >> 64) {
    significand >>= 1;
    ++exponent;
  }
  significand <<= 64 - std::min(length, 64);
  return {false, static_cast<uint16_t>(exponent), static_cast<uint64_t>(significand)};
}

TEST(PowersOfTenTable, EntriesAreTheNearestExtendedValues) {
  for (int i = 0; i <= 31; ++i) EXPECT_EQ(Bits(kPow10Small[i]), NearestExtended(i)) << "10^" << i;
  for (int j = 1; j <= 15; ++j)
    EXPECT_EQ(Bits(kPow10Mid[j]), NearestExtended(32 * j)) << "10^" << 32 * j;
  for (int l = 1; l <= 9; ++l)
    EXPECT_EQ(Bits(kPow10Large[l]), NearestExtended(512 * l)) << "10^" << 512 * l;
}

TEST(ScalePow10, SplitsTheExponentAcrossTheTables) {
  EXPECT_EQ(ScalePow10(X(1.5), 0), X(1.5));
  EXPECT_EQ(ScalePow10(X(1.5), 2), X(150.0));
  EXPECT_EQ(ScalePow10(X(1.0), 27), kPow10Small[27]);
  EXPECT_EQ(ScalePow10(X(3.0), -1), X(3.0) / X(10.0));
  // 545 = 512 + 32 + 1: three rounded steps, in that order.
  EXPECT_EQ(ScalePow10(X(7.0), 545), X(7.0) * X(1e1) * kPow10Mid[1] * kPow10Large[1]);
  EXPECT_EQ(ScalePow10(X(7.0), -545), X(7.0) / X(1e1) / kPow10Mid[1] / kPow10Large[1]);
}

TEST(ScalePow10, SaturatesFromMagnitude5120) {
  const Extended inf = kXInfinity;
  EXPECT_EQ(ScalePow10(X(0.0), 5120), inf);
  EXPECT_EQ(ScalePow10(-X(2.0), 9999), inf);
  EXPECT_EQ(ScalePow10(X(5.0), -5120), X(0.0));
  EXPECT_EQ(ScalePow10(X(1.0), -5119), X(0.0));  // underflow is silent
}

TEST(ScalePow10DeathTest, OverflowOfTheExtendedRangeStops) {
  EXPECT_EXIT(ScalePow10(X(1.0), 4933), testing::ExitedWithCode(205), "");
  EXPECT_EXIT(ScalePow10(-X(1.0), 5119), testing::ExitedWithCode(205), "");
}

}  // namespace
