#include "app/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#ifndef _WIN32
#include "child_run.h"
#endif
#include "runtime/core/random.h"
#include "runtime/stream/text_output.h"
#include "shaped_tables.h"

namespace {

AllocationVector Vector(float s1, float s2, float s3, float s4, float s5, float s6, float s7,
                        float s8) {
  return AllocationVector{{s1, s2, s3, s4, s5, s6, s7, s8}};
}

const AllocationVector kEighths =
    Vector(0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f, 0.125f);
const AllocationVector kFirst = Vector(1, 0, 0, 0, 0, 0, 0, 0);

// count copies of the same shares.
Population Copies(const ProfitTable& table, const AllocationVector& shares, int count) {
  Population population{};
  population.table = &table;
  population.count = static_cast<uint8_t>(count);
  for (int i = 1; i <= count; ++i) population.individuals[i] = shares;
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

std::string ReportOf(const Population& population) {
  CapturedOutput capture;
  WriteReport(population);
  return capture.All();
}

// ---------------------------------------------------------------------------------------
// The text report.

// The worked run: table k + j * (10 - j), state 0, count 3, amplitude 0.01, reported after
// set-up and after two generations.
TEST(ReportTest, WorkedRunBeforeAndAfterTwoSteps) {
  static ProfitTable table = WorkedTable();
  static Population population{};
  gRandomSeed = 0;
  population.Setup(table, 3, 0.01f);
  {
    CapturedOutput capture;
    WriteReport(population);
    EXPECT_EQ(capture.All(),
              "Optimal solution:\r\n"
              "H:1 F:106.678 W:0.000 0.012 0.342 0.080 0.108 0.267 0.126 0.064 \r\n"
              "H:2 F:108.680 W:0.142 0.163 0.031 0.181 0.027 0.321 0.023 0.112 \r\n"
              "H:3 F:112.642 W:0.185 0.074 0.156 0.066 0.141 0.170 0.145 0.062 \r\n"
              "  Maximum profit: 112.642\r\n");
    // The heading, ten statements per individual, the maximum-profit line.
    EXPECT_EQ(capture.Writes().size(), 1u + 3 * 10 + 1);
  }
  population.Step();
  population.Step();
  EXPECT_EQ(ReportOf(population),
            "Optimal solution:\r\n"
            "H:1 F:112.696 W:0.200 0.116 0.110 0.106 0.053 0.239 0.097 0.078 \r\n"
            "H:2 F:112.778 W:0.216 0.107 0.122 0.090 0.059 0.208 0.133 0.065 \r\n"
            "H:3 F:112.356 W:0.177 0.072 0.165 0.066 0.154 0.175 0.142 0.048 \r\n"
            "  Maximum profit: 112.778\r\n");
}

// The last individual's line of a population of copies: the number as written, the
// profit in width 7 (wider when it needs it), the shares in width 5, and ten statements.
TEST(ReportTest, IndividualLineLaysOutHeadAndShares) {
  static ProfitTable wide = FlatTable(1234.5678f / 8);
  static ProfitTable tiny = FlatTable(-0.00001f);
  static ProfitTable ramp = FirstShareTable();
  struct Case {
    const ProfitTable* table;
    AllocationVector shares;
    int count;
    std::string lastLine;
  } const cases[] = {
      {&ramp, kEighths, 3, "H:3 F:  1.125 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 \r\n"},
      {&ramp, kFirst, 10, "H:10 F:  9.000 W:1.000 0.000 0.000 0.000 0.000 0.000 0.000 0.000 \r\n"},
      {&wide, kEighths, 20,
       "H:20 F:1234.568 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 \r\n"},
      {&tiny, kEighths, 1, "H:1 F: -0.000 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 \r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lastLine);
    static Population population;
    population = Copies(*c.table, c.shares, c.count);
    CapturedOutput capture;
    WriteReport(population);
    const std::vector<std::string>& writes = capture.Writes();
    ASSERT_EQ(writes.size(), 1u + 10 * static_cast<size_t>(c.count) + 1);
    // The last line's ten statements, before the maximum-profit line.
    size_t first = writes.size() - 11;
    std::string line;
    for (size_t w = first; w < first + 10; ++w) line += writes[w];
    EXPECT_EQ(line, c.lastLine);
    for (size_t k = 1; k <= 8; ++k) EXPECT_EQ(writes[first + k].size(), 6u) << k;
    EXPECT_EQ(writes[first + 9], "\r\n");
  }
}

// The maximum is the best profit, never below 0, whatever the individuals' order.
TEST(ReportTest, MaximumProfitIsTheBestNeverBelowZero) {
  static ProfitTable ramp = FirstShareTable();
  static ProfitTable losing = FlatTable(-1.0f);
  static Population population;
  population = Copies(ramp, kEighths, 3);
  population.individuals[2] = kFirst;
  std::string report = ReportOf(population);
  EXPECT_TRUE(report.ends_with("\r\n  Maximum profit:   9.000\r\n")) << report;
  population = Copies(losing, kEighths, 2);
  report = ReportOf(population);
  EXPECT_NE(report.find("H:2 F: -8.000 W:"), std::string::npos) << report;
  EXPECT_TRUE(report.ends_with("\r\n  Maximum profit:   0.000\r\n")) << report;
  static ProfitTable table = WorkedTable();
  population = Copies(table, kEighths, 0);
  EXPECT_EQ(ReportOf(population), "Optimal solution:\r\n  Maximum profit:   0.000\r\n");
}

// allocate-optimum's report has its own heading and repeats the profit as the maximum,
// also a negative one.
TEST(ReportTest, OptimumReportRepeatsItsProfit) {
  struct Case {
    float profit;
    AllocationVector shares;
    std::string expected;
  } const cases[] = {
      {115.0f,
       Vector(1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 2 / 9.0f),
       "Exact optimum:\r\n"
       "H:1 F:115.000 W:0.111 0.111 0.111 0.111 0.111 0.111 0.111 0.222 \r\n"
       "  Maximum profit: 115.000\r\n"},
      {-2.5f, kFirst,
       "Exact optimum:\r\n"
       "H:1 F: -2.500 W:1.000 0.000 0.000 0.000 0.000 0.000 0.000 0.000 \r\n"
       "  Maximum profit:  -2.500\r\n"},
  };
  for (const Case& c : cases) {
    CapturedOutput capture;
    WriteOptimumReport(c.profit, c.shares);
    EXPECT_EQ(capture.All(), c.expected);
    EXPECT_EQ(capture.Writes().size(), 1u + 10 + 1);
  }
}

// ---------------------------------------------------------------------------------------
// The comma-separated values.

const char kCsvHeader[] =
    "individual,profit,share1,share2,share3,share4,share5,share6,share7,share8\n";

TEST(CsvReportTest, OneLineOfShortestNumbersPerIndividual) {
  static ProfitTable ramp = FirstShareTable();
  static Population population;
  population = Copies(ramp, kEighths, 2);
  population.individuals[2] = Vector(0.25f, 0.75f, 0, 0, 0, 0, 0, 0);
  CapturedOutput capture;
  WriteCsvReport(population);
  // Profits 9 * 0.125 and 9 * 0.25.
  EXPECT_EQ(capture.All(), std::string(kCsvHeader) +
                               "1,1.125,0.125,0.125,0.125,0.125,0.125,0.125,0.125,0.125\n"
                               "2,2.25,0.25,0.75,0,0,0,0,0,0\n");
  // One statement per line.
  EXPECT_EQ(capture.Writes().size(), 3u);
}

TEST(CsvReportTest, EmptyPopulationAndOptimum) {
  static ProfitTable ramp = FirstShareTable();
  static Population population;
  population = Copies(ramp, kEighths, 0);
  {
    CapturedOutput capture;
    WriteCsvReport(population);
    EXPECT_EQ(capture.All(), kCsvHeader);
  }
  // The shortest digits that read back: 1/9 and 2/9 rounded to float need 8.
  const AllocationVector ninths =
      Vector(1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 1 / 9.0f, 2 / 9.0f, 1 / 9.0f);
  struct Case {
    float profit;
    AllocationVector shares;
    const char* line;
  } const cases[] = {
      {100.42f, ninths,
       "1,100.42,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.22222222,"
       "0.11111111\n"},
      {-1e-5f, kFirst, "1,-1e-05,1,0,0,0,0,0,0,0\n"},
  };
  for (const Case& c : cases) {
    CapturedOutput capture;
    WriteOptimumCsv(c.profit, c.shares);
    EXPECT_EQ(capture.All(), std::string(kCsvHeader) + c.line);
  }
}

// ---------------------------------------------------------------------------------------
// Stops while reporting: runs in a child process, which the tests start with fork (Linux
// only).

#ifndef _WIN32
// A profit is computed when it is first needed: with no step before the report, while
// its line is printed. Individual 2's sum overflows, after the line of individual 1.
TEST(ReportStopTest, ProfitOverflowStopsAtTheLineThatNeedsIt) {
  static ProfitTable table{};
  for (int j = 0; j <= 9; ++j) table.entries[1][j] = 3e38f;
  for (int j = 1; j <= 9; ++j) table.entries[2][j] = 3e38f;
  static Population population;
  population = Copies(table, kFirst, 2);
  population.individuals[2] = Vector(0.5f, 0.5f, 0, 0, 0, 0, 0, 0);
  ChildResult result = RunInChild([] { WriteReport(population); });
  EXPECT_EQ(result.status, 205);
  const std::string line1 =
      "H:1 F: 3.0E+0038 W:1.000 0.000 0.000 0.000 0.000 0.000 0.000 0.000 \r\n";
  const std::string before = "Optimal solution:\r\n" + line1;
  ASSERT_GE(result.output.size(), before.size()) << result.output;
  EXPECT_EQ(result.output.substr(0, before.size()), before);
  EXPECT_TRUE(IsReport(result.output.substr(before.size()), 205)) << result.output;
}
#endif

}  // namespace
