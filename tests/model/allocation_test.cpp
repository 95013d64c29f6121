#include "model/allocation.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace {

AllocationVector Vector(float s1, float s2, float s3, float s4, float s5, float s6, float s7,
                        float s8) {
  return AllocationVector{{s1, s2, s3, s4, s5, s6, s7, s8}};
}

AllocationVector Eight(float share) {
  return Vector(share, share, share, share, share, share, share, share);
}

uint32_t Bits(float x) { return std::bit_cast<uint32_t>(x); }

TEST(Clamp01Test, LimitsToUnitInterval) {
  const float kAboveOne = std::nextafter(1.0f, 2.0f);
  const float kBelowZero = -std::numeric_limits<float>::denorm_min();
  struct Case {
    float x;
    float expected;
  } const cases[] = {
      {-1.0f, 0.0f}, {kBelowZero, 0.0f}, {0.0f, 0.0f}, {1e-30f, 1e-30f}, {0.5f, 0.5f},
      {1.0f, 1.0f},  {kAboveOne, 1.0f},  {2.0f, 1.0f}, {-3e38f, 0.0f},   {3e38f, 1.0f},
  };
  for (const Case& c : cases) EXPECT_EQ(Bits(Clamp01(c.x)), Bits(c.expected)) << c.x;
}

TEST(NormalizeTest, ClampsThenDividesBySumOfClampedShares) {
  struct Case {
    AllocationVector input;
    AllocationVector expected;
  } const cases[] = {
      {Vector(0.5f, 0.5f, 0, 0, 0, 0, 0, 0), Vector(0.5f, 0.5f, 0, 0, 0, 0, 0, 0)},
      {Vector(2, -1, 0, 0, 0, 0, 0, 1), Vector(0.5f, 0, 0, 0, 0, 0, 0, 0.5f)},
      {Vector(0, 0, 0, 0, 0, 0, 0, 7), Vector(0, 0, 0, 0, 0, 0, 0, 1)},
      {Vector(-5, 0.25f, -5, 0.25f, -5, 0.5f, -5, 0), Vector(0, 0.25f, 0, 0.25f, 0, 0.5f, 0, 0)},
      {Eight(0.25f), Eight(0.125f)},
      {Eight(0.5f), Eight(0.125f)},
      {Eight(0.75f), Eight(0.125f)},
      {Eight(1.0f), Eight(0.125f)},
      {Eight(5.0f), Eight(0.125f)},
  };
  for (const Case& c : cases) {
    AllocationVector v = c.input;
    Normalize(v);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(Bits(v[k]), Bits(c.expected[k])) << "share " << k;
  }
}

// The running sum is rounded to float after every addition; an exact or extended sum
// would give exactly 0.125 for most of these.
TEST(NormalizeTest, RoundsRunningSumAfterEveryAddition) {
  struct Case {
    float share;
    uint32_t expected;
  } const cases[] = {
      {0.3f, 0x3e000001}, {0.7f, 0x3e000001}, {0.1f, 0x3dffffff},
      {0.2f, 0x3dffffff}, {0.9f, 0x3dffffff},
  };
  for (const Case& c : cases) {
    AllocationVector v = Eight(c.share);
    Normalize(v);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(Bits(v[k]), c.expected) << c.share << " share " << k;
  }
}

TEST(NormalizeTest, NormalisedVectorStaysNormalised) {
  AllocationVector v = Vector(0.123f, 0.0456f, 0.3f, 0.0001f, 0.2f, 0.1f, 0.17f, 0.06f);
  Normalize(v);
  for (int round = 0; round < 3; ++round) {
    AllocationVector w = v;
    Normalize(w);
    float sum = 0;
    for (int k = 1; k <= 8; ++k) {
      EXPECT_GE(w[k], 0.0f);
      EXPECT_LE(w[k], 1.0f);
      EXPECT_NEAR(w[k], v[k], 4 * std::numeric_limits<float>::epsilon() * v[k]);
      sum += w[k];
    }
    EXPECT_NEAR(sum, 1.0f, 8 * std::numeric_limits<float>::epsilon());
    v = w;
  }
}

TEST(NormalizeDeathTest, AllSharesClampingToZeroIsInvalidOperation) {
  const AllocationVector cases[] = {Eight(0.0f), Eight(-0.5f), Vector(-1, 0, -2, 0, 0, -3, 0, 0)};
  for (const AllocationVector& input : cases) {
    EXPECT_EXIT(
        {
          AllocationVector v = input;
          Normalize(v);
        },
        testing::ExitedWithCode(207), "");
  }
}

// The guard a mutation uses before normalising: false exactly for the vectors above.
TEST(HasShareAboveZeroTest, FalseWhereEveryShareClampsToZero) {
  const float tiny = std::numeric_limits<float>::denorm_min();
  const struct {
    AllocationVector v;
    bool expected;
  } cases[] = {
      {Eight(0.0f), false},
      {Eight(-0.5f), false},
      {Vector(-1, 0, -2, 0, 0, -3, 0, -0.0f), false},
      {Vector(-1, 0, -2, 0, 0, -3, 0, tiny), true},
      {Vector(5, -9, -9, -9, -9, -9, -9, -9), true},
      {Eight(0.125f), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasShareAboveZero(c.v), c.expected) << c.v[1] << " " << c.v[8];
  }
}

TEST(SameAllocationTest, ExactEqualityOfEveryShare) {
  const AllocationVector base = Vector(0.1f, 0.2f, 0.3f, 0.05f, 0.05f, 0.1f, 0.1f, 0.1f);
  struct Case {
    int changed;  // 0: none
    float value;
    bool expected;
  } const cases[] = {
      {0, 0, true},           {1, std::nextafter(0.1f, 1.0f), false},
      {4, 0.0500001f, false}, {8, std::nextafter(0.1f, 0.0f), false},
      {8, 0.2f, false},
  };
  for (const Case& c : cases) {
    AllocationVector other = base;
    if (c.changed != 0) other[c.changed] = c.value;
    EXPECT_EQ(SameAllocation(base, other), c.expected) << c.changed;
    EXPECT_EQ(SameAllocation(other, base), c.expected) << c.changed;
  }
  EXPECT_TRUE(SameAllocation(base, base));
  // Float equality: a negative zero equals a zero.
  EXPECT_TRUE(SameAllocation(Vector(-0.0f, 1, 0, 0, 0, 0, 0, 0), Vector(0, 1, 0, 0, 0, 0, 0, 0)));
}

}  // namespace
