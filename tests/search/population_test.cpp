#include "search/population.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#ifndef _WIN32
#include "child_run.h"
#endif
#include "runtime/core/io_status.h"
#include "runtime/core/random.h"
#include "runtime/core/stop.h"
#include "runtime/stream/text_output.h"
#include "shaped_tables.h"

namespace {

float Float(uint32_t bits) { return std::bit_cast<float>(bits); }
uint32_t Bits(float x) { return std::bit_cast<uint32_t>(x); }

AllocationVector Vector(float s1, float s2, float s3, float s4, float s5, float s6, float s7,
                        float s8) {
  return AllocationVector{{s1, s2, s3, s4, s5, s6, s7, s8}};
}

uint32_t Advance(uint32_t state, int steps) {
  for (int n = 0; n < steps; ++n) state = state * 134775813u + 1u;
  return state;
}

bool SameBits(const AllocationVector& a, const AllocationVector& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

const AllocationVector kEighths =
    Vector(0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f);

Population Filled(const ProfitTable& table, std::initializer_list<AllocationVector> members,
                  float amplitude = 0.01f) {
  Population population{};
  population.table = &table;
  population.amplitude = amplitude;
  int i = 0;
  for (const AllocationVector& v : members) population.individuals[++i] = v;
  population.count = static_cast<uint8_t>(i);
  return population;
}

// ---------------------------------------------------------------------------------------
// The worked run: table k + j * (10 - j), state 0, count 3, amplitude 0.01.

struct Generation {
  uint8_t best;
  uint8_t second;
  uint8_t replaced;
  uint32_t below;
  uint32_t stateAfter;
  uint32_t profitsAfter[3];
};

TEST(WorkedRunTest, SetupAndTwoGenerations) {
  static ProfitTable table = WorkedTable();
  static Population population{};
  gRandomSeed = 0;
  population.Setup(table, 3, Float(0x3c23d70a));

  // After Setup: 24 draws.
  EXPECT_EQ(gRandomSeed, 1317014376u);
  const float kShares[3][8] = {
      {9.23904842e-11f, 0.0124520017f, 0.341676176f, 0.0803869814f, 0.108299002f, 0.266521931f,
       0.126461193f, 0.0642027259f},
      {0.142121121f, 0.162522838f, 0.0313123576f, 0.181277037f, 0.0269434676f, 0.321039379f,
       0.0228027962f, 0.111981042f},
      {0.185151026f, 0.0742607638f, 0.156363666f, 0.0661907345f, 0.140823498f, 0.170393258f,
       0.144922569f, 0.0618945807f},
  };
  const uint32_t kSetupProfits[3] = {0x42d55b56, 0x42d95c56, 0x42e148d3};
  for (int i = 1; i <= 3; ++i) {
    for (int k = 1; k <= 8; ++k)
      EXPECT_EQ(Bits(population.individuals[i][k]), Bits(kShares[i - 1][k - 1]))
          << "individual " << i << " share " << k;
    EXPECT_EQ(Bits(table.TotalProfit(population.individuals[i])), kSetupProfits[i - 1]) << i;
  }
  EXPECT_EQ(Bits(population.BestProfit()), 0x42e148d3u);

  // Each step replaces the worst with the child of best and second, then mutates
  // individual RandomBelow(3) + 1: 17 draws.
  const Generation generations[] = {
      {3, 2, 1, 2, 605831865u, {Bits(112.69558f), Bits(108.680344f), Bits(112.579468f)}},
      {1, 3, 2, 2, 1047029262u, {0x42e16423, 0x42e18e58, 0x42e0b62e}},
  };
  for (const Generation& g : generations) {
    SCOPED_TRACE(testing::Message() << "state before " << gRandomSeed);
    float bestProfit = table.TotalProfit(population.individuals[g.best]);
    for (int i = 1; i <= 3; ++i) {
      float p = table.TotalProfit(population.individuals[i]);
      EXPECT_TRUE(p < bestProfit || (p == bestProfit && i >= g.best)) << i;
      if (i != g.best && i != g.second) {
        EXPECT_LE(p, table.TotalProfit(population.individuals[g.second])) << i;
      }
    }

    static Population before;
    before = population;
    // The ninth draw chooses the mutated individual.
    const uint32_t stateBefore = gRandomSeed;
    gRandomSeed = Advance(stateBefore, 8);
    EXPECT_EQ(RandomBelow(3), g.below);
    gRandomSeed = stateBefore;
    population.Step();
    EXPECT_EQ(gRandomSeed, g.stateAfter);
    for (int i = 1; i <= 3; ++i) {
      bool changes = i == g.replaced || i == static_cast<int>(g.below) + 1;
      EXPECT_EQ(SameBits(population.individuals[i], before.individuals[i]), !changes) << i;
      EXPECT_EQ(Bits(table.TotalProfit(population.individuals[i])), g.profitsAfter[i - 1]) << i;
    }
  }
  EXPECT_EQ(population.BestProfit(), 112.778015f);
}

// ---------------------------------------------------------------------------------------
// Setup and BestProfit.

TEST(SetupTest, DrawsEightSharesPerIndividualAndNormalises) {
  static ProfitTable table = WorkedTable();
  for (uint8_t count : {0, 1, 2, 20}) {
    static Population population;
    population = Population{};
    gRandomSeed = 77;
    population.Setup(table, count, -2.5f);
    EXPECT_EQ(population.table, &table);
    EXPECT_EQ(population.count, count);
    EXPECT_EQ(population.amplitude, -2.5f);
    EXPECT_EQ(gRandomSeed, Advance(77, 8 * count)) << int{count};
    for (int i = 1; i <= 20; ++i) {
      float sum = 0;
      for (int k = 1; k <= 8; ++k) sum += population.individuals[i][k];
      if (i <= count)
        EXPECT_NEAR(sum, 1.0f, 1e-6f) << i;
      else
        EXPECT_EQ(sum, 0.0f) << "slot " << i << " above count " << int{count};
    }
  }
}

TEST(SetupTest, DrawsRoundedToFloatBeforeNormalising) {
  static ProfitTable table = WorkedTable();
  static Population population{};
  // The state before 4294967295: its draw rounds to 1.0f, the others come after it.
  gRandomSeed = 1298181734u;
  uint32_t state = gRandomSeed;
  AllocationVector drawn;
  for (int k = 1; k <= 8; ++k) {
    state = state * 134775813u + 1u;
    drawn[k] = static_cast<float>(state * 0x1p-32);
  }
  ASSERT_EQ(drawn[1], 1.0f);
  population.Setup(table, 1, 0.0f);
  Normalize(drawn);
  EXPECT_TRUE(SameBits(population.individuals[1], drawn));
}

TEST(BestProfitTest, HighestProfitNeverBelowZero) {
  static ProfitTable rising = FirstShareTable();
  static ProfitTable falling = FlatTable(-1.0f);
  const AllocationVector low = Vector(0.1f, 0.9f, 0, 0, 0, 0, 0, 0);
  const AllocationVector high = Vector(0.5f, 0.5f, 0, 0, 0, 0, 0, 0);
  struct Case {
    Population population;
    float expected;
  } const cases[] = {
      {Filled(rising, {}), 0.0f},
      {Filled(rising, {low}), rising.TotalProfit(low)},
      {Filled(rising, {low, high, low}), 4.5f},
      {Filled(falling, {low, high}), 0.0f},
  };
  for (const Case& c : cases) EXPECT_EQ(c.population.BestProfit(), c.expected);
}

// The trace's figures: the highest profit whatever its sign (unlike BestProfit), and the
// mean rounded once from the extended sum.
TEST(FiguresTest, HighestAndMeanProfitWhateverTheirSign) {
  static ProfitTable rising = FirstShareTable();
  static ProfitTable falling = FlatTable(-1.0f);
  static ProfitTable huge = FlatTable(3.0e37f);
  const AllocationVector low = Vector(0.1f, 0.9f, 0, 0, 0, 0, 0, 0);
  const AllocationVector high = Vector(0.5f, 0.5f, 0, 0, 0, 0, 0, 0);
  struct Case {
    Population population;
    float best;
    float mean;
  } const cases[] = {
      {Filled(rising, {}), 0.0f, 0.0f},
      {Filled(rising, {low, high, low}), 4.5f,
       static_cast<float>((2.0L * rising.TotalProfit(low) + 4.5L) / 3)},
      {Filled(falling, {low, high}), -8.0f, -8.0f},
      // Eight entries of 3e37 add up to 2.4e38 per individual: a float sum of three would
      // overflow, the extended one does not.
      {Filled(huge, {low, high, low}), huge.TotalProfit(low), huge.TotalProfit(low)},
  };
  for (const Case& c : cases) {
    PopulationFigures figures = c.population.Figures();
    EXPECT_EQ(figures.best, c.best);
    EXPECT_EQ(figures.mean, c.mean);
  }
}

// ---------------------------------------------------------------------------------------
// The generation step.

// Profit 9 * weight[k] for all of the budget on project k: unit vectors e_k are ranked
// by the weights, and the child of two of them has the two parents' projects as support.
ProfitTable UnitTable(float w1, float w2, float w3) {
  ProfitTable table{};
  for (int j = 0; j <= 9; ++j) {
    table.entries[1][j] = j * w1;
    table.entries[2][j] = j * w2;
    table.entries[3][j] = j * w3;
  }
  return table;
}

const AllocationVector e1 = Vector(1, 0, 0, 0, 0, 0, 0, 0);
const AllocationVector e2 = Vector(0, 1, 0, 0, 0, 0, 0, 0);
const AllocationVector e3 = Vector(0, 0, 1, 0, 0, 0, 0, 0);

// The projects with a share above 0 of every individual: "12 2 3".
std::string Supports(const Population& population) {
  std::string text;
  for (int i = 1; i <= population.count; ++i) {
    if (i > 1) text += ' ';
    for (int k = 1; k <= 8; ++k)
      if (population.individuals[i][k] > 0.0f) text += static_cast<char>('0' + k);
  }
  return text;
}

// With amplitude 0 the mutation keeps every support, so after one step each slot shows
// its old support except the worst, which holds the child of best and second: with
// profits of any sign and size, and with no different second too.
TEST(StepTest, ChildOfBestAndSecondReplacesWorst) {
  static ProfitTable equal = UnitTable(1, 1, 1), ranked = UnitTable(1, 2, 3),
                     tie = UnitTable(1, 2, 2);
  static ProfitTable zero = UnitTable(0, 0, 0), negative = UnitTable(-3, -2, -1);
  static ProfitTable mixed = UnitTable(-1, 2, 3), billion = UnitTable(1.2e8f, 1.3e8f, 1.4e8f);
  static ProfitTable huge = UnitTable(1e29f, 2e29f, 3e29f);
  struct Case {
    const char* label;
    Population population;
    const char* after;
  } const cases[] = {
      {"all equal: 1 and 2, 1 replaced", Filled(equal, {e1, e2, e3}, 0), "12 2 3"},
      {"two: the lower replaced", Filled(ranked, {e2, e1}, 0), "2 12"},
      {"two, reversed", Filled(ranked, {e1, e2}, 0), "12 2"},
      {"copies of the best skipped", Filled(ranked, {e3, e1, e3, e2}, 0), "3 23 3 2"},
      {"equal profit, other shares", Filled(tie, {e1, e2, e3}, 0), "23 2 3"},
      {"every profit 0, as from an empty file", Filled(zero, {e1, e2, e3}, 0), "12 2 3"},
      {"every profit negative", Filled(negative, {e1, e2, e3}, 0), "23 2 3"},
      {"the only other one loses money", Filled(mixed, {e1, e3, e3}, 0), "13 3 3"},
      {"profits above 1e9", Filled(billion, {e1, e2, e3}, 0), "23 2 3"},
      {"profits around 1e30", Filled(huge, {e3, e1, e2}, 0), "3 23 2"},
      {"copies of one: the best is both parents", Filled(ranked, {e2, e2, e2}, 0), "2 2 2"},
      {"count 1", Filled(ranked, {e2}, 0), "2"},
  };
  for (const Case& c : cases) {
    static Population population;
    population = c.population;
    gRandomSeed = 1234567;
    population.Step();
    EXPECT_EQ(gRandomSeed, Advance(1234567, 17)) << c.label;
    EXPECT_EQ(Supports(population), c.after) << c.label;
  }
  static Population empty;
  empty = Filled(ranked, {});
  empty.Step();
  EXPECT_EQ(gRandomSeed, Advance(1234567, 17)) << "count 0: no draw";
}

// Rising and falling rows of different slopes, every profit positive.
ProfitTable MixedTable() {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j)
      table.entries[k][j] = static_cast<float>(k % 2 != 0 ? 50 + k * j : 100 - k * j) / 7.0f;
  return table;
}

// Empty when the invariants hold, else what is wrong.
std::string CheckStep(const Population& before, const Population& after, uint32_t stateBefore) {
  if (gRandomSeed != Advance(stateBefore, 17)) return "not 17 draws";
  gRandomSeed = Advance(stateBefore, 8);
  int mutated = static_cast<int>(RandomBelow(before.count)) + 1;
  gRandomSeed = Advance(stateBefore, 17);
  int worst = 1;  // the lowest profit, the lowest number among equals
  for (int i = 2; i <= before.count; ++i)
    if (before.table->TotalProfit(before.individuals[i]) <
        before.table->TotalProfit(before.individuals[worst]))
      worst = i;
  for (int i = 1; i <= after.count; ++i) {
    const AllocationVector& v = after.individuals[i];
    if (after.known[i] && Bits(after.profits[i]) != Bits(after.table->TotalProfit(v)))
      return "stale profit in slot " + std::to_string(i);
    float sum = 0.0f;
    for (int k = 1; k <= 8; ++k) {
      if (!(v[k] >= 0.0f && v[k] <= 1.0f))
        return "share outside [0, 1] in slot " + std::to_string(i);
      sum += v[k];
    }
    if (std::abs(sum - 1.0f) > 1e-5f) return "not normalised: slot " + std::to_string(i);
    // The child may equal the shares it replaces, in a population of near copies.
    if (i != worst && i != mutated && !SameBits(v, before.individuals[i]))
      return "slot " + std::to_string(i) + " changed";
  }
  return "";
}

// Long runs checked after every step for what must hold whatever the draws: the
// remembered profits are those of the current shares, every individual is normalised,
// and nothing but the worst individual and the mutated one has changed.
TEST(StepTest, InvariantsHoldAfterEveryStep) {
  static ProfitTable example;
  example.Load(ALLOCATE_SOURCE_DIR "/examples/function.txt");
  static ProfitTable worked = WorkedTable();
  static ProfitTable mixed = MixedTable();
  struct Case {
    const ProfitTable* table;
    uint32_t seed;
    uint8_t count;
    float amplitude;
    int steps;
  } const cases[] = {
      {&example, 12345, 20, 0.01f, 4000}, {&example, 1, 20, 0.2f, 3000},
      {&example, 7, 2, 0.05f, 2000},      {&worked, 99, 7, 0.001f, 3000},
      {&mixed, 5, 13, 0.1f, 3000},
  };
  for (const Case& c : cases) {
    static Population population, before;
    population = Population{};
    gRandomSeed = c.seed;
    population.Setup(*c.table, c.count, c.amplitude);
    std::string fault;
    int step = 0;
    for (; step < c.steps && fault.empty(); ++step) {
      before = population;
      uint32_t state = gRandomSeed;
      population.Step();
      fault = CheckStep(before, population, state);
      // Every profit asked for now, so that the next step's remembered ones are checked too.
      for (int i = 1; i <= c.count; ++i) population.Profit(i);
    }
    EXPECT_EQ(fault, "") << "seed " << c.seed << ", step " << step;
  }
}

// The parts of a step, seen through it: a step's draws 1..8 are the crossover's weights,
// draw 9 chooses the individual to mutate, draws 10..17 are its noise.

// The state n draws before state.
uint32_t Rewind(uint32_t state, int n) {
  // The inverse of the multiplier mod 2^32, by Newton's iteration (each doubles the bits
  // that are right; an odd number is its own inverse to 3 bits).
  uint32_t inverse = 134775813u;
  for (int i = 0; i < 4; ++i) inverse *= 2u - 134775813u * inverse;
  for (int k = 0; k < n; ++k) state = (state - 1u) * inverse;
  return state;
}

// The first state from start on whose step mutates individual i of count.
uint32_t SeedMutating(uint32_t start, uint32_t count, int i) {
  for (uint32_t seed = start;; ++seed) {
    gRandomSeed = Advance(seed, 8);
    if (static_cast<int>(RandomBelow(count)) + 1 == i) return seed;
  }
}

TEST(CrossoverTest, WeightRoundedToFloatPerShare) {
  static ProfitTable table = FirstShareTable();
  static Population population;
  // Parents e1 (profit 9) and e2 (profit 0, the worst, which takes the child); with
  // amplitude 0 the mutation changes no share of either.
  const AllocationVector a = Vector(1, 0, 0, 0, 0, 0, 0, 0);
  const AllocationVector b = Vector(0, 1, 0, 0, 0, 0, 0, 0);
  population = Filled(table, {a, b}, 0.0f);
  // The first draw after 1298181734 is 4294967295 / 2^32, which rounds to 1.0f: share 1
  // gets weight 0 from a, and share 2 all of b. Unrounded, share 1 would keep 2^-32 of a.
  gRandomSeed = 1298181734u;
  population.Step();
  EXPECT_EQ(population.individuals[2][1], 0.0f);
  EXPECT_EQ(population.individuals[2][2], 1.0f);
  EXPECT_TRUE(SameBits(population.individuals[1], a));
  EXPECT_EQ(gRandomSeed, Advance(1298181734u, 17));
}

TEST(MutateTest, ZeroAmplitudeOnlyRenormalises) {
  static ProfitTable table = FirstShareTable();
  static Population population;
  // v is the best and e2 the worst, which the child replaces; the step mutates v.
  AllocationVector v = Vector(0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f);
  population = Filled(table, {v, Vector(0, 1, 0, 0, 0, 0, 0, 0)}, 0.0f);
  Normalize(v);
  uint32_t seed = SeedMutating(5, 2, 1);
  gRandomSeed = seed;
  population.Step();
  EXPECT_TRUE(SameBits(population.individuals[1], v));
  EXPECT_EQ(Bits(v[1]), 0x3e000001u);
  EXPECT_EQ(gRandomSeed, Advance(seed, 17));
}

// The noise (r * 2 - 1) * amplitude takes r unrounded and needs up to 56 bits, so the
// sum with the share is formed in extended precision. Expected patterns from an exact
// rational model of the formula; rounding r to float first, or working in double,
// changes a last bit.
TEST(MutateTest, NoiseInExtendedWithFullPrecisionDraw) {
  static ProfitTable table = WorkedTable();
  static Population population;
  struct Case {
    uint32_t seed;  // the state before the noise's first draw
    uint32_t expected[8];
  } const cases[] = {
      // Share 1 draws the state 3883925499: a double would round 0.125 + noise twice.
      {1235356466u, {0x3f306001, 0x3da7f190, 0x3e64ed89, 0, 0, 0, 0, 0x3bb334c8}},
      {1u, {0, 0x3f09e7e4, 0, 0, 0x3eb81171, 0x3cd1742b, 0, 0x3d9c1e11}},
  };
  for (const Case& c : cases) {
    // One individual: the child of it and itself is its own shares exactly (the weights
    // add up to 1), and it is the one mutated.
    population = Filled(table, {kEighths}, Float(0x3e99999a));  // 0.3
    gRandomSeed = Rewind(c.seed, 9);
    population.Step();
    EXPECT_EQ(gRandomSeed, Advance(c.seed, 8));
    for (int k = 1; k <= 8; ++k)
      EXPECT_EQ(Bits(population.individuals[1][k]), c.expected[k - 1]) << c.seed << " " << k;
  }
}

// A large amplitude that pushes all 8 shares below 0 leaves nothing to normalise: the
// individual keeps its shares and its remembered profit, its 8 draws are still used, and
// the individuals neither replaced nor mutated are untouched.
TEST(MutateTest, NoShareLeftAboveZeroKeepsTheShares) {
  static ProfitTable table = FirstShareTable();
  static Population population;
  // Profits 1.125, 4.5 and 0: the step replaces individual 3 and, with the seed below,
  // mutates individual 2.
  const AllocationVector second = Vector(0.5f, 0.25f, 0.25f, 0, 0, 0, 0, 0);
  const AllocationVector e3 = Vector(0, 0, 1, 0, 0, 0, 0, 0);
  uint32_t seed = 0;
  for (;; ++seed) {
    seed = SeedMutating(seed, 3, 2);
    uint32_t state = Advance(seed, 9);
    bool allLow = true;
    for (int k = 0; k < 8 && allLow; ++k) {
      state = state * 134775813u + 1u;
      allLow = state * 0x1p-32 < 0.45;  // noise below (0.9 - 1) * 10 = -1
    }
    if (allLow) break;
  }
  population = Filled(table, {kEighths, second, e3}, 10.0f);
  float profit = population.Profit(2);
  gRandomSeed = seed;
  population.Step();
  EXPECT_TRUE(SameBits(population.individuals[2], second));
  EXPECT_TRUE(SameBits(population.individuals[1], kEighths));
  EXPECT_FALSE(SameBits(population.individuals[3], e3));
  EXPECT_EQ(gRandomSeed, Advance(seed, 17));
  EXPECT_TRUE(population.known[2]);
  EXPECT_EQ(Bits(population.Profit(2)), Bits(profit));
  // The same draws with a small amplitude leave shares above 0: the mutation takes effect.
  population = Filled(table, {kEighths, second, e3}, 0.01f);
  gRandomSeed = seed;
  population.Step();
  EXPECT_FALSE(SameBits(population.individuals[2], second));
  EXPECT_FALSE(population.known[2]);
}

// ---------------------------------------------------------------------------------------
// Stops.

TEST(PopulationDeathTest, CountAboveTwentyStopsAtSlotTwentyOne) {
  static ProfitTable table = WorkedTable();
  for (uint8_t count : {21, 255}) {
    EXPECT_EXIT(
        {
          static Population population{};
          population.Setup(table, count, 0.01f);
        },
        testing::ExitedWithCode(201), "");
  }
}

// Runs of a stop in a child process, which the tests start with fork (Linux only).
#ifndef _WIN32
TEST(PopulationStopTest, CountAboveTwentyWritesOnlyPendingOutputAndReport) {
  static ProfitTable table = WorkedTable();
  ChildResult result = RunInChild([] {
    WriteText("Input mutation amplitude  (0.01):");
    FlushOutput();
    CheckIOResult();
    static Population population{};
    population.Setup(table, 21, 0.01f);
    WriteText("never");
    WriteLineEnd();
  });
  EXPECT_EQ(result.status, 201);
  const std::string prompt = "Input mutation amplitude  (0.01):";
  ASSERT_EQ(result.output.compare(0, prompt.size(), prompt), 0) << result.output;
  EXPECT_TRUE(IsReport(result.output.substr(prompt.size()), 201)) << result.output;
}

#endif

}  // namespace
