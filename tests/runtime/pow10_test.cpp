#include "runtime/number/pow10.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

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

// 10^n rounded to a 64-bit significand, ties to even, from the exact integer.
long double NearestExtended(int n) {
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
  // A carry out of 64 bits still scales exactly.
  return std::ldexp(static_cast<long double>(static_cast<uint64_t>(significand >> 1)), drop + 1) +
         std::ldexp(static_cast<long double>(static_cast<uint64_t>(significand & 1)), drop);
}

TEST(PowersOfTenTable, EntriesAreTheNearestExtendedValues) {
  for (int i = 0; i <= 31; ++i) EXPECT_EQ(kPow10Small[i], NearestExtended(i)) << "10^" << i;
  for (int j : {1, 2, 7, 15}) EXPECT_EQ(kPow10Mid[j], NearestExtended(32 * j)) << "10^" << 32 * j;
  for (int l : {1, 4, 9}) EXPECT_EQ(kPow10Large[l], NearestExtended(512 * l)) << "10^" << 512 * l;
}

TEST(ScalePow10, SplitsTheExponentAcrossTheTables) {
  EXPECT_EQ(ScalePow10(1.5L, 0), 1.5L);
  EXPECT_EQ(ScalePow10(1.5L, 2), 150.0L);
  EXPECT_EQ(ScalePow10(1.0L, 27), 1e27L);
  EXPECT_EQ(ScalePow10(3.0L, -1), 3.0L / 10.0L);
  // 545 = 512 + 32 + 1: three rounded steps, in that order.
  EXPECT_EQ(ScalePow10(7.0L, 545), 7.0L * 1e1L * 1e32L * 1e512L);
  EXPECT_EQ(ScalePow10(7.0L, -545), 7.0L / 1e1L / 1e32L / 1e512L);
}

TEST(ScalePow10, SaturatesFromMagnitude5120) {
  const long double inf = std::numeric_limits<long double>::infinity();
  EXPECT_EQ(ScalePow10(0.0L, 5120), inf);
  EXPECT_EQ(ScalePow10(-2.0L, 9999), inf);
  EXPECT_EQ(ScalePow10(5.0L, -5120), 0.0L);
  EXPECT_EQ(ScalePow10(1.0L, -5119), 0.0L);  // underflow is silent
}

TEST(ScalePow10DeathTest, OverflowOfTheExtendedRangeStops) {
  EXPECT_EXIT(ScalePow10(1.0L, 4933), testing::ExitedWithCode(205), "");
  EXPECT_EXIT(ScalePow10(-1.0L, 5119), testing::ExitedWithCode(205), "");
}

}  // namespace
