#include "runtime/random.h"

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace {

// The state whose successor is `state`: the multiplier is odd, so it has an inverse
// modulo 2^32 (Newton's iteration doubles the correct low bits each round).
uint32_t PreviousSeed(uint32_t state) {
  uint32_t inverse = 134775813u;
  for (int round = 0; round < 5; ++round) inverse *= 2u - 134775813u * inverse;
  return (state - 1u) * inverse;
}

TEST(RandomSourceTest, StatesFromZero) {
  RandomSeed = 0;
  for (uint32_t expected : {1u, 134775814u, 3698175007u, 870078620u, 1172187917u, 2884733762u}) {
    NextSeed();
    EXPECT_EQ(RandomSeed, expected);
  }
}

TEST(RandomSourceTest, RealsFromZeroAreExactQuotients) {
  RandomSeed = 0;
  for (double expected : {0x1p-32, 0.031379939522594213, 0.8610484672244638}) {
    double r = RandomReal();
    EXPECT_EQ(r, expected);
    EXPECT_EQ(r, RandomSeed * 0x1p-32);
  }
}

TEST(RandomSourceTest, BelowTenFromZero) {
  RandomSeed = 0;
  for (uint32_t expected : {0u, 0u, 8u, 2u, 2u, 6u}) EXPECT_EQ(RandomBelow(10), expected);
}

TEST(RandomSourceTest, BelowUsesHighHalfOfProduct) {
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
    RandomSeed = PreviousSeed(c.state);
    EXPECT_EQ(RandomBelow(c.n), c.expected) << "n " << c.n << " state " << c.state;
    EXPECT_EQ(RandomSeed, c.state);
  }
}

TEST(RandomSourceTest, TopStatesRoundToOneAsFloat) {
  RandomSeed = PreviousSeed(4294967295u);
  EXPECT_EQ(RandomReal(), 0.99999999976716935634613037109375);
  for (uint32_t state = 4294967168u; state != 0; ++state) {
    RandomSeed = PreviousSeed(state);
    EXPECT_EQ(static_cast<float>(RandomReal()), 1.0f) << state;
  }
  RandomSeed = PreviousSeed(4294967167u);
  EXPECT_EQ(static_cast<float>(RandomReal()), 0.999999940395355224609375f);
}

TEST(RandomSourceTest, BothDrawsShareOneState) {
  RandomSeed = 0;
  RandomReal();
  double undisturbed = RandomReal();
  RandomSeed = 0;
  RandomReal();
  RandomBelow(5);
  EXPECT_NE(RandomReal(), undisturbed);
  EXPECT_EQ(RandomSeed, 3698175007u);
}

// The clock seen by SeedFromClock. Defining clock_gettime here puts it in place of the
// C library's, as a preloaded library would in the real program; while no fake is set
// it passes through to the kernel.
struct FakeClock {
  bool active = false;
  bool monotonicFails = false;
  timespec monotonic{};
  timespec realtime{};
  int monotonicCalls = 0;
};
FakeClock gFakeClock;

}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* now) {
  if (!gFakeClock.active) return static_cast<int>(syscall(SYS_clock_gettime, clock, now));
  if (clock == CLOCK_MONOTONIC) {
    ++gFakeClock.monotonicCalls;
    if (gFakeClock.monotonicFails) return -1;
    *now = gFakeClock.monotonic;
    return 0;
  }
  if (clock == CLOCK_REALTIME) {
    *now = gFakeClock.realtime;
    return 0;
  }
  return -1;
}

namespace {

TEST(SeedFromClockTest, TakesLowBitsOfTheClock) {
  struct Case {
    bool monotonicFails;
    timespec monotonic;
    timespec realtime;
    uint32_t expected;
  };
  const Case cases[] = {
      // 5 000 000 007 ns = 0x12A05F207: the high bits are dropped.
      {false, {5, 7}, {99, 0}, 0x2A05F207u},
      {false, {0, 999999999}, {99, 0}, 999999999u},
      // 2^32 s + 1 ns: the product wraps in 64 bits, only the low 32 remain.
      {false,
       {0x100000000LL, 1},
       {99, 0},
       static_cast<uint32_t>(0x100000000ULL * 1000000000ULL + 1)},
      // Fallback: milliseconds of the real-time clock, 1700000000123 = 0x18BCFE5687B.
      {true, {5, 7}, {1700000000, 123456789}, 0xCFE5687Bu},
      {true, {5, 7}, {0, 999999}, 0u},
  };
  for (const Case& c : cases) {
    gFakeClock = {true, c.monotonicFails, c.monotonic, c.realtime, 0};
    RandomSeed = 12345;
    SeedFromClock();
    gFakeClock.active = false;
    EXPECT_EQ(RandomSeed, c.expected) << c.monotonic.tv_sec << " " << c.realtime.tv_sec;
    EXPECT_EQ(gFakeClock.monotonicCalls, 1);
  }
}

TEST(SeedFromClockTest, FollowsTheRealMonotonicClock) {
  timespec before{}, after{};
  syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &before);
  SeedFromClock();
  syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &after);
  auto low = [](const timespec& t) {
    return static_cast<uint32_t>(static_cast<uint64_t>(t.tv_sec) * 1000000000u +
                                 static_cast<uint64_t>(t.tv_nsec));
  };
  EXPECT_LE(RandomSeed - low(before), low(after) - low(before));
}

}  // namespace
