#include "search/population.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "fake_platform.h"
#ifndef _WIN32
#include "child_run.h"
#endif
#include "runtime/fatal.h"
#include "runtime/random.h"
#include "runtime/text_output.h"

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

// Entry [k, j] = k + j * (10 - j).
ProfitTable WorkedTable() {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = static_cast<float>(k + j * (10 - j));
  return table;
}

// Every entry the same: every allocation has the same profit.
ProfitTable FlatTable(float entry) {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = entry;
  return table;
}

// Profit 9 * share 1: individuals are ranked by their first share.
ProfitTable FirstShareTable() {
  ProfitTable table{};
  for (int j = 0; j <= 9; ++j) table.entries[1][j] = static_cast<float>(j);
  return table;
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

// Standard output captured as a console: one write per output statement.
class CapturedOutput {
 public:
  CapturedOutput() {
    fake_.console = true;
    MarkOutputClosed();
  }
  ~CapturedOutput() { MarkOutputClosed(); }
  std::string All() const { return fake_.Written(); }
  const std::vector<std::string>& Writes() const { return fake_.writes; }

 private:
  FakePlatform fake_;
};

// The report of the console dialogue: heading, every individual, maximum profit.
void WriteReport(const Population& population) {
  WriteText("Optimal solution:");
  WriteLineEnd();
  CheckIOResult();
  population.PrintAll();
  float best = population.BestProfit();
  WriteText("  Maximum profit: ");
  WriteReal(best, 7, 3);
  WriteLineEnd();
  CheckIOResult();
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

TEST(WorkedRunTest, SetupTwoGenerationsAndReports) {
  static ProfitTable table = WorkedTable();
  static Population population{};
  RandomSeed = 0;
  population.Setup(table, 3, Float(0x3c23d70a));

  // After Setup: 24 draws.
  EXPECT_EQ(RandomSeed, 1317014376u);
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

  std::string reportBefore;
  {
    CapturedOutput capture;
    WriteReport(population);
    reportBefore = capture.All();
    // Heading, ten statements per individual, the maximum-profit line.
    EXPECT_EQ(capture.Writes().size(), 1u + 3 * 10 + 1);
  }
  EXPECT_EQ(reportBefore,
            "Optimal solution:\r\n"
            "H:1 F:106.678 W:0.000 0.012 0.342 0.080 0.108 0.267 0.126 0.064 \r\n"
            "H:2 F:108.680 W:0.142 0.163 0.031 0.181 0.027 0.321 0.023 0.112 \r\n"
            "H:3 F:112.642 W:0.185 0.074 0.156 0.066 0.141 0.170 0.145 0.062 \r\n"
            "  Maximum profit: 112.642\r\n");

  // Each step is Crossover(best, second), which replaces the worst, then RandomBelow
  // and Mutate: 17 draws.
  const Generation generations[] = {
      {3, 2, 1, 2, 605831865u, {Bits(112.69558f), Bits(108.680344f), Bits(112.579468f)}},
      {1, 3, 2, 2, 1047029262u, {0x42e16423, 0x42e18e58, 0x42e0b62e}},
  };
  for (const Generation& g : generations) {
    SCOPED_TRACE(testing::Message() << "state before " << RandomSeed);
    float bestProfit = table.TotalProfit(population.individuals[g.best]);
    for (int i = 1; i <= 3; ++i) {
      float p = table.TotalProfit(population.individuals[i]);
      EXPECT_TRUE(p < bestProfit || (p == bestProfit && i >= g.best)) << i;
      if (i != g.best && i != g.second) {
        EXPECT_LE(p, table.TotalProfit(population.individuals[g.second])) << i;
      }
    }

    static Population expected;
    expected = population;
    uint32_t stateBefore = RandomSeed;
    expected.Crossover(population.individuals[g.best], population.individuals[g.second]);
    for (int i = 1; i <= 3; ++i)
      EXPECT_EQ(SameBits(expected.individuals[i], population.individuals[i]), i != g.replaced) << i;
    uint32_t below = RandomBelow(3);
    EXPECT_EQ(below, g.below);
    expected.Mutate(expected.individuals[static_cast<int>(below) + 1]);
    EXPECT_EQ(RandomSeed, g.stateAfter);

    RandomSeed = stateBefore;
    population.Step();
    EXPECT_EQ(RandomSeed, g.stateAfter);
    for (int i = 1; i <= 3; ++i) {
      EXPECT_TRUE(SameBits(population.individuals[i], expected.individuals[i])) << i;
      EXPECT_EQ(Bits(table.TotalProfit(population.individuals[i])), g.profitsAfter[i - 1]) << i;
    }
  }
  EXPECT_EQ(population.BestProfit(), 112.778015f);

  std::string reportAfter;
  {
    CapturedOutput capture;
    WriteReport(population);
    reportAfter = capture.All();
  }
  EXPECT_EQ(reportAfter,
            "Optimal solution:\r\n"
            "H:1 F:112.696 W:0.200 0.116 0.110 0.106 0.053 0.239 0.097 0.078 \r\n"
            "H:2 F:112.778 W:0.216 0.107 0.122 0.090 0.059 0.208 0.133 0.065 \r\n"
            "H:3 F:112.356 W:0.177 0.072 0.165 0.066 0.154 0.175 0.142 0.048 \r\n"
            "  Maximum profit: 112.778\r\n");
}

// ---------------------------------------------------------------------------------------
// Setup and BestProfit.

TEST(SetupTest, DrawsEightSharesPerIndividualAndNormalises) {
  static ProfitTable table = WorkedTable();
  for (uint8_t count : {0, 1, 2, 20}) {
    static Population population;
    population = Population{};
    RandomSeed = 77;
    population.Setup(table, count, -2.5f);
    EXPECT_EQ(population.table, &table);
    EXPECT_EQ(population.count, count);
    EXPECT_EQ(population.amplitude, -2.5f);
    EXPECT_EQ(RandomSeed, Advance(77, 8 * count)) << int{count};
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
  RandomSeed = 1298181734u;
  uint32_t state = RandomSeed;
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

// ---------------------------------------------------------------------------------------
// Report lines.

TEST(PrintIndividualTest, LaysOutHeadAndShares) {
  static ProfitTable wide = FlatTable(1234.5678f / 8);
  static ProfitTable tiny = FlatTable(-0.00001f);
  static ProfitTable ramp = FirstShareTable();
  struct Case {
    const ProfitTable* table;
    AllocationVector shares;
    uint8_t number;
    std::string expected;
  } const cases[] = {
      {&ramp, kEighths, 3, "H:3 F:  1.125 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 \r\n"},
      {&ramp, Vector(1, 0, 0, 0, 0, 0, 0, 0), 10,
       "H:10 F:  9.000 W:1.000 0.000 0.000 0.000 0.000 0.000 0.000 0.000 \r\n"},
      {&wide, kEighths, 20,
       "H:20 F:1234.568 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 \r\n"},
      {&tiny, kEighths, 1, "H:1 F: -0.000 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 \r\n"},
  };
  for (const Case& c : cases) {
    static Population population;
    population = Population{};
    population.table = c.table;
    population.count = 20;
    population.individuals[c.number] = c.shares;
    CapturedOutput capture;
    population.PrintIndividual(c.number);
    EXPECT_EQ(capture.All(), c.expected);
    ASSERT_EQ(capture.Writes().size(), 10u);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(capture.Writes()[k].size(), 6u) << k;
    EXPECT_EQ(capture.Writes()[9], "\r\n");
  }
}

TEST(PrintAllTest, PrintsNothingForEmptyPopulation) {
  static ProfitTable table = WorkedTable();
  const Population empty = Filled(table, {});
  CapturedOutput capture;
  WriteReport(empty);
  EXPECT_EQ(capture.All(), "Optimal solution:\r\n  Maximum profit:   0.000\r\n");
}

// ---------------------------------------------------------------------------------------
// The generation step.

// Step must be Crossover(best, second) with the child in place of `worst`, then the
// mutation of individual RandomBelow(count) + 1.
void ExpectStep(const Population& start, int best, int second, int worst) {
  static Population stepped, expected;
  stepped = start;
  expected = start;
  RandomSeed = 1234567;
  stepped.Step();
  uint32_t after = RandomSeed;

  RandomSeed = 1234567;
  expected.Crossover(start.individuals[best], start.individuals[second]);
  for (int i = 1; i <= start.count; ++i)
    EXPECT_EQ(SameBits(expected.individuals[i], start.individuals[i]), i != worst) << "slot " << i;
  expected.Mutate(expected.individuals[static_cast<int>(RandomBelow(start.count)) + 1]);
  EXPECT_EQ(RandomSeed, after);
  for (int i = 1; i <= start.count; ++i)
    EXPECT_TRUE(SameBits(stepped.individuals[i], expected.individuals[i])) << "slot " << i;
}

TEST(StepTest, PicksBestSecondAndWorst) {
  static ProfitTable flat = FlatTable(5.0f);
  static ProfitTable ranked = FirstShareTable();
  const AllocationVector p1 = Vector(0.1f, 0.9f, 0, 0, 0, 0, 0, 0);
  const AllocationVector p2 = Vector(0.2f, 0.8f, 0, 0, 0, 0, 0, 0);
  const AllocationVector p3 = Vector(0.3f, 0.7f, 0, 0, 0, 0, 0, 0);
  const AllocationVector p2b = Vector(0.2f, 0, 0.8f, 0, 0, 0, 0, 0);  // profit of p2
  struct Case {
    const char* label;
    Population population;
    int best, second, worst;
  } const cases[] = {
      {"all equal: 1 and 2, 1 replaced", Filled(flat, {p1, p2, p3}), 1, 2, 1},
      {"two: the lower replaced", Filled(ranked, {p2, p1}), 1, 2, 2},
      {"two, reversed", Filled(ranked, {p1, p2}), 2, 1, 1},
      {"copies of the best skipped", Filled(ranked, {p3, p1, p3, p2}), 1, 4, 2},
      {"equal profit, other shares", Filled(ranked, {p1, p2, p2b}), 2, 3, 1},
      {"lowest number among equal best", Filled(ranked, {p1, p3, p3, p2}), 2, 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ExpectStep(c.population, c.best, c.second, c.worst);
  }
}

TEST(StepTest, KeepsEveryIndividualNormalised) {
  static ProfitTable table = WorkedTable();
  static Population population{};
  RandomSeed = 42;
  population.Setup(table, 20, 0.05f);
  for (int step = 0; step < 500; ++step) population.Step();
  for (int i = 1; i <= 20; ++i) {
    float sum = 0;
    for (int k = 1; k <= 8; ++k) {
      EXPECT_GE(population.individuals[i][k], 0.0f);
      EXPECT_LE(population.individuals[i][k], 1.0f);
      sum += population.individuals[i][k];
    }
    EXPECT_NEAR(sum, 1.0f, 1e-6f) << i;
  }
}

TEST(CrossoverTest, WeightRoundedToFloatPerShare) {
  static ProfitTable table = FirstShareTable();
  static Population population;
  // One individual with profit 0: it is the worst and takes the child.
  population = Filled(table, {Vector(0, 1, 0, 0, 0, 0, 0, 0)});
  const AllocationVector a = Vector(1, 0, 0, 0, 0, 0, 0, 0);
  const AllocationVector b = Vector(0, 1, 0, 0, 0, 0, 0, 0);
  // The first draw after 1985229327 is 4294967295 / 2^32, which rounds to 1.0f: share 1
  // gets weight 0 from a, and share 2 all of b.
  RandomSeed = 1298181734u;
  population.Crossover(a, b);
  EXPECT_EQ(population.individuals[1][1], 0.0f);
  EXPECT_EQ(population.individuals[1][2], 1.0f);
  EXPECT_EQ(RandomSeed, Advance(1298181734u, 8));
}

TEST(MutateTest, ZeroAmplitudeOnlyRenormalises) {
  static ProfitTable table = WorkedTable();
  static Population population;
  population = Filled(table, {}, 0.0f);
  AllocationVector v = Vector(0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f);
  AllocationVector normalised = v;
  Normalize(normalised);
  RandomSeed = 5;
  population.Mutate(v);
  EXPECT_TRUE(SameBits(v, normalised));
  EXPECT_EQ(Bits(v[1]), 0x3e000001u);
  EXPECT_EQ(RandomSeed, Advance(5, 8));
}

// The noise (r * 2 - 1) * amplitude takes r unrounded and needs up to 56 bits, so the
// sum with the share is formed in extended precision. Expected patterns from an exact
// rational model of the formula; rounding r to float first, or working in double,
// changes a last bit.
TEST(MutateTest, NoiseInExtendedWithFullPrecisionDraw) {
  static ProfitTable table = WorkedTable();
  static Population population;
  population = Filled(table, {}, Float(0x3e99999a));  // 0.3
  struct Case {
    uint32_t seed;
    uint32_t expected[8];
  } const cases[] = {
      // Share 1 draws the state 3883925499: a double would round 0.125 + noise twice.
      {1235356466u, {0x3f306001, 0x3da7f190, 0x3e64ed89, 0, 0, 0, 0, 0x3bb334c8}},
      {1u, {0, 0x3f09e7e4, 0, 0, 0x3eb81171, 0x3cd1742b, 0, 0x3d9c1e11}},
  };
  for (const Case& c : cases) {
    AllocationVector v = kEighths;
    RandomSeed = c.seed;
    population.Mutate(v);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(Bits(v[k]), c.expected[k - 1]) << c.seed << " " << k;
  }
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

TEST(PopulationDeathTest, StepWithoutBestSecondOrWorstStops) {
  static ProfitTable ranked = FirstShareTable();
  static ProfitTable negative = FlatTable(-1.0f);
  static ProfitTable huge = FlatTable(1e9f);
  const AllocationVector p1 = Vector(0.1f, 0.9f, 0, 0, 0, 0, 0, 0);
  const AllocationVector p2 = Vector(0.2f, 0.8f, 0, 0, 0, 0, 0, 0);
  const AllocationVector none = Vector(0, 1, 0, 0, 0, 0, 0, 0);  // profit 0
  struct Case {
    const char* label;
    Population population;
  } const cases[] = {
      {"count 0", Filled(ranked, {})},
      {"count 1", Filled(ranked, {p1})},
      {"no positive profit", Filled(negative, {p1, p2})},
      {"only zero profits", Filled(ranked, {none, none, none})},
      {"every positive one a copy", Filled(ranked, {p1, none, p1})},
      {"no profit below the start of the worst search", Filled(huge, {p1, p2})},
  };
  for (const Case& c : cases) {
    static Population population;
    population = c.population;
    EXPECT_EXIT(population.Step(), testing::ExitedWithCode(201), "") << c.label;
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

TEST(PopulationStopTest, StepWithoutSecondStopsBeforeTouchingAnySlot) {
  static ProfitTable table = FirstShareTable();
  static Population population;
  const AllocationVector p1 = Vector(0.1f, 0.9f, 0, 0, 0, 0, 0, 0);
  population = Filled(table, {p1, p1});
  ChildResult result = RunInChild([] { population.Step(); });
  EXPECT_EQ(result.status, 201);
  EXPECT_TRUE(IsReport(result.output, 201)) << result.output;
}

// A large amplitude that pushes all 8 shares below 0 leaves nothing to normalise: the
// division 0 / 0 is an invalid operation.
TEST(PopulationStopTest, MutationToAllZeroSharesIsInvalidOperation) {
  uint32_t seed = 0;
  for (;; ++seed) {
    uint32_t state = seed;
    bool allLow = true;
    for (int k = 0; k < 8 && allLow; ++k) {
      state = state * 134775813u + 1u;
      allLow = state * 0x1p-32 < 0.45;
    }
    if (allLow) break;
  }
  static ProfitTable table = WorkedTable();
  static Population population;
  population = Filled(table, {kEighths, kEighths}, 10.0f);
  static uint32_t chosen;
  chosen = seed;
  ChildResult result = RunInChild([] {
    RandomSeed = chosen;
    population.Mutate(population.individuals[2]);
  });
  EXPECT_EQ(result.status, 207);
  EXPECT_TRUE(IsReport(result.output, 207)) << result.output;
}

#endif

}  // namespace
