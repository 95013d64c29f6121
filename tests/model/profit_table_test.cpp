#include "model/profit_table.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "extended_values.h"
#include "runtime/arith/extended.h"

namespace {

float Float(uint32_t bits) { return std::bit_cast<float>(bits); }
uint32_t Bits(float x) { return std::bit_cast<uint32_t>(x); }

// Keeps a result the compiler would otherwise drop, with the arithmetic that faults.
volatile float gSink;

// Row k: k * 100 + j * j, so every level and project is told apart.
ProfitTable DistinctTable() {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = static_cast<float>(k * 100 + j * j);
  return table;
}

ProfitTable RampTable() {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = static_cast<float>(j);
  return table;
}

TEST(ProjectProfitTest, InterpolatesBetweenLevels) {
  const ProfitTable table = DistinctTable();
  const float kTwoNinths = 2.0f / 9.0f;  // 0.22222222387...: t = 2.0000000149...
  struct Case {
    int k;
    float x;
    float expected;
  } const cases[] = {
      {1, 0.0f, 100.0f},       {1, 1.0f, 181.0f},  // level 9 serves as both ends
      {8, 1.0f, 881.0f},       {3, 0.5f, 320.5f},  // mean of levels 4 and 5
      {5, kTwoNinths, 504.0f}, {6, 1.0f / 9.0f, 601.0f},   {2, 8.0f / 9.0f, 264.0f},
      {4, -0.0f, 400.0f},      {7, 17.0f / 18.0f, 772.5f},  // halfway between levels 8 and 9
  };
  for (const Case& c : cases)
    EXPECT_EQ(table.ProjectProfit(c.k, c.x), c.expected) << "k " << c.k << " x " << c.x;
}

TEST(ProjectProfitTest, RoundsFractionThenBlendOnce) {
  const ProfitTable ramp = RampTable();
  struct Case {
    uint32_t x;
    uint32_t expected;
  } const cases[] = {
      {Bits(0.3f), 0x402ccccd},  // 2.70000005
      {0x3e1a8b03, 0x3faddc64},  // 1.35828829, one unit above 9x rounded to float
      {Bits(1.0f), Bits(9.0f)},
      {Bits(0.5f), Bits(4.5f)},
  };
  for (const Case& c : cases) {
    for (int k = 1; k <= 8; ++k)
      EXPECT_EQ(Bits(ramp.ProjectProfit(k, Float(c.x))), c.expected) << std::hex << c.x;
  }
}

// Rows built so that rounding the blend differently changes the last bit: in a double
// (first row) or exactly, without the extended rounding of (1 - f) * a (second row).
TEST(ProjectProfitTest, BlendsInExtendedPrecision) {
  struct Case {
    uint32_t level0;
    uint32_t level1;
    uint32_t x;
    uint32_t expected;
    uint32_t wrong;
  } const cases[] = {
      {0x3f800000, 0x38eb0f40, 0x3a1325c7, 0x3f7eb4f5, 0x3f7eb4f4},  // double gives wrong
      {0x3f800000, 0x3a29d2b8, 0x3910b71c, 0x3f7faea7, 0x3f7faea6},
      {0x3fa79559, 0x00000000, 0x331814b2, 0x3fa79556, 0x3fa79555},  // exact gives wrong
      {0x3ff5f407, 0x00000000, 0x335e0c32, 0x3ff5f400, 0x3ff5f3ff},
  };
  for (const Case& c : cases) {
    ProfitTable table{};
    table.entries[3][0] = Float(c.level0);
    table.entries[3][1] = Float(c.level1);
    EXPECT_EQ(Bits(table.ProjectProfit(3, Float(c.x))), c.expected) << std::hex << c.x;
    EXPECT_NE(c.expected, c.wrong);
  }
}

// The interpolated profit as its formula reads, every step in extended precision.
float PlainExtendedProfit(const ProfitTable& table, int k, float x) {
  Extended t = Extended(x) * X(9.0);
  int i = static_cast<int>(t.TruncateToInt64());
  float f = ToFloat(t - Extended::FromInt(i));
  float here = table.entries[k][i];
  float next = i + 1 <= 9 ? table.entries[k][i + 1] : here;
  return ToFloat((X(1.0) - Extended(f)) * Extended(here) + Extended(f) * Extended(next));
}

// The shortcuts (9x, the truncation and f in double) against the plain extended formula,
// near every level and across [0, 1].
TEST(ProjectProfitTest, MatchesPlainExtendedFormula) {
  std::mt19937 random(20240601);
  ProfitTable table{};
  std::uniform_real_distribution<float> entry(-1000.0f, 1000.0f);
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = entry(random);
  std::uniform_int_distribution<uint32_t> pattern(0, 0x3f800000);
  std::uniform_real_distribution<float> share(0.0f, 1.0f);
  int mismatches = 0;
  for (int n = 0; n < 2000000; ++n) {
    int k = 1 + n % 8;
    float x = n % 2 ? share(random) : Float(pattern(random));
    if (table.ProjectProfit(k, x) != PlainExtendedProfit(table, k, x)) ++mismatches;
  }
  for (int j = 0; j <= 9; ++j) {
    float level = static_cast<float>(j) / 9.0f;
    float x = level;
    for (int step = 0; step < 1000; ++step) x = std::nextafter(x, 0.0f);
    for (int step = 0; step < 2000 && x <= 1.0f; ++step, x = std::nextafter(x, 2.0f)) {
      for (int k = 1; k <= 8; ++k)
        if (table.ProjectProfit(k, x) != PlainExtendedProfit(table, k, x)) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(TotalProfitTest, SumsProjectProfits) {
  ProfitTable tens{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) tens.entries[k][j] = static_cast<float>(10 * j);
  AllocationVector eighths{{0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f}};
  EXPECT_EQ(tens.TotalProfit(eighths), 90.0f);

  const ProfitTable distinct = DistinctTable();
  AllocationVector corner{{0, 0, 0, 0, 0, 0, 0, 1}};
  // 100 + 200 + ... + 700 at level 0, and 881 at level 9.
  EXPECT_EQ(distinct.TotalProfit(corner), 2800.0f + 881.0f);

  ProfitTable zeros{};
  EXPECT_EQ(zeros.TotalProfit(eighths), 0.0f);
}

// The sum is rounded to float after every addition, in the order of the projects.
TEST(TotalProfitTest, RoundsRunningSum) {
  ProfitTable table{};
  table.entries[1][0] = 1.0f;
  for (int k = 2; k <= 8; ++k) table.entries[k][0] = 0x1p-24f;
  AllocationVector zero{};
  // Each 2^-24 added to 1 is lost to rounding; summed first they would make 1 + 2^-22.
  EXPECT_EQ(table.TotalProfit(zero), 1.0f);
  table.entries[1][0] = 0x1p-24f;
  table.entries[8][0] = 1.0f;
  // 7 * 2^-24 first, then 1: 1 + 3.5 units of 2^-23, a tie that rounds to even.
  EXPECT_EQ(table.TotalProfit(zero), 1.0f + 0x1p-21f);
}

TEST(TotalProfitDeathTest, OverflowingSumStops) {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k) table.entries[k][0] = 3e38f;
  EXPECT_EXIT(gSink = table.TotalProfit(AllocationVector{}), testing::ExitedWithCode(205), "");
}

TEST(ProjectProfitDeathTest, IndexOutsideTableStops) {
  const ProfitTable table = RampTable();
  struct Case {
    int k;
    float x;
    int code;
  } const cases[] = {
      {0, 0.5f, 201},
      {9, 0.5f, 201},
      {1, 1.2f, 201},   // level 10
      {1, 30.0f, 201},  // level 270
      {1, -0.2f, 201},  // level -1.8
      {1, std::numeric_limits<float>::quiet_NaN(), 207},
      {1, std::numeric_limits<float>::infinity(), 207},
      {1, 2e18f, 207},  // beyond 2^63
  };
  for (const Case& c : cases) {
    EXPECT_EXIT(gSink = table.ProjectProfit(c.k, c.x), testing::ExitedWithCode(c.code), "")
        << "k " << c.k << " x " << c.x;
  }
}

}  // namespace
