#include "runtime/core/random.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

// The state whose successor is `state`: the multiplier is odd, so it has an inverse
// modulo 2^32 (Newton's iteration doubles the correct low bits each round).
uint32_t PreviousSeed(uint32_t state) {
  uint32_t inverse = 134775813u;
  for (int round = 0; round < 5; ++round) inverse *= 2u - 134775813u * inverse;
  return (state - 1u) * inverse;
}

TEST(Random, StatesFromZero) {
  gRandomSeed = 0;
  for (uint32_t expected : {1u, 134775814u, 3698175007u, 870078620u, 1172187917u, 2884733762u}) {
    NextSeed();
    EXPECT_EQ(gRandomSeed, expected);
  }
}

TEST(Random, RealsFromZeroAreExactQuotients) {
  gRandomSeed = 0;
  for (double expected : {0x1p-32, 0.031379939522594213, 0.8610484672244638}) {
    double r = RandomReal();
    EXPECT_EQ(r, expected);
    EXPECT_EQ(r, gRandomSeed * 0x1p-32);
  }
}

TEST(Random, BelowTenFromZero) {
  gRandomSeed = 0;
  for (uint32_t expected : {0u, 0u, 8u, 2u, 2u, 6u}) EXPECT_EQ(RandomBelow(10), expected);
}

TEST(Random, BelowUsesHighHalfOfProduct) {
  struct Case {
    uint32_t n;
    uint32_t state;  // state after the step
    uint32_t expected;
  };
  const Case cases[] = {
      {0, 0xFFFFFFFFu, 0},
      {1, 0xFFFFFFFFu, 0},
      {3, 0x55555555u, 0},
      {3, 0x55555556u, 1},
      {3, 0xFFFFFFFFu, 2},
      {20, 0x80000000u, 10},
      {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFEu},
      {7, 0, 0},
  };
  for (const Case& c : cases) {
    gRandomSeed = PreviousSeed(c.state);
    EXPECT_EQ(RandomBelow(c.n), c.expected) << "n " << c.n << " state " << c.state;
    EXPECT_EQ(gRandomSeed, c.state);
  }
}

TEST(Random, TopStatesRoundToOneAsFloat) {
  gRandomSeed = PreviousSeed(4294967295u);
  EXPECT_EQ(RandomReal(), 0.99999999976716935634613037109375);
  for (uint32_t state = 4294967168u; state != 0; ++state) {
    gRandomSeed = PreviousSeed(state);
    EXPECT_EQ(static_cast<float>(RandomReal()), 1.0f) << state;
  }
  gRandomSeed = PreviousSeed(4294967167u);
  EXPECT_EQ(static_cast<float>(RandomReal()), 0.999999940395355224609375f);
}

TEST(Random, BothDrawsShareOneState) {
  gRandomSeed = 0;
  RandomReal();
  double undisturbed = RandomReal();
  gRandomSeed = 0;
  RandomReal();
  RandomBelow(5);
  EXPECT_NE(RandomReal(), undisturbed);
  EXPECT_EQ(gRandomSeed, 3698175007u);
}

TEST(SeedFromClock, TakesTheSystemsClockReadingOnce) {
  for (uint32_t reading : {0u, 7u, 0x2A05F207u, 0xFFFFFFFFu}) {
    FakePlatform fake;
    fake.clock = reading;
    gRandomSeed = 12345;
    SeedFromClock();
    EXPECT_EQ(gRandomSeed, reading);
    EXPECT_EQ(fake.clockReads, 1);
  }
}

}  // namespace
