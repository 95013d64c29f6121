// The planner's options seen from outside: the worked examples of the manual pages on
// examples/function.txt, byte for byte; allocate --optimum beside the same run without
// it; the CSV's columns; and every bad value or impossible set of bounds, which ends the
// run with 64 and one line before the table is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

// The sample table as it ships.
std::string ExampleTable() {
  std::ifstream file(ALLOCATE_SOURCE_DIR "/examples/function.txt", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

Outcome RunOptimumOn(const std::string& table, std::vector<std::string> arguments) {
  return RunOnTable(
      table,
      {.in = Stdin::kClosed, .arguments = std::move(arguments), .program = Program::kOptimum});
}

std::string Repeat(const std::string& text, int times) {
  std::string whole;
  for (int n = 0; n < times; ++n) whole += text;
  return whole;
}

const std::string kEvenSplit = "11250,11250,11250,11250,11250,11250,11250,11250";

// The examples the manual pages and docs/planner.md show.
TEST(PlannerRun, WorkedExamplesOnTheExampleTable) {
  const std::string head =
      "Exact optimum:\r\n"
      "H:1 F:100.420 W:0.111 0.111 0.111 0.111 0.111 0.111 0.222 0.111 \r\n"
      "  Maximum profit: 100.420\r\n\r\n";
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
    std::string expected;
  } const rows[] = {
      {"a budget in money, a project locked, a floor and a cap",
       {"--budget", "90000", "--lock", "3=15000", "--min", "7=27000", "--max", "8=7200"},
       Lines({"Exact optimum within the bounds:",
              "H:1 F: 94.972 W:0.111 0.111 0.167 0.009 0.111 0.111 0.300 0.080 ",
              "  Maximum profit:  94.972", "", "Project  Share    Amount  Profit",
              "1          1/9  10000.00  10.870", "2          1/9  10000.00  10.890",
              "3        0.167  15000.00  15.715", "4        0.009    800.00   0.798",
              "5          1/9  10000.00  11.380", "6          1/9  10000.00  11.870",
              "7        0.300  27000.00  23.398", "8        0.080   7200.00  10.051",
              "Total      9/9  90000.00  94.972"})},
      {"against an even split",
       {"--budget", "90000", "--current", kEvenSplit},
       head + Lines({"Project  Share    Amount   Profit   Current  Current profit",
                     "1          1/9  10000.00   10.870  11250.00          11.736",
                     "2          1/9  10000.00   10.890  11250.00          11.898",
                     "3          1/9  10000.00   12.590  11250.00          13.371",
                     "4          1/9  10000.00    9.970  11250.00          10.990",
                     "5          1/9  10000.00   11.380  11250.00          12.352",
                     "6          1/9  10000.00   11.870  11250.00          12.472",
                     "7          2/9  20000.00   18.890  11250.00          11.654",
                     "8          1/9  10000.00   13.960  11250.00          14.967",
                     "Total      9/9  90000.00  100.420  90000.00          99.441", "",
                     "  Current profit:  99.441", "  Best profit:    100.420",
                     "  Gain:             0.979 (0.98 %)"})},
      {"the frontier",
       {"--budget", "90000", "--frontier"},
       head +
           Lines({"Project  Share    Amount   Profit  One more ninth",
                  "1          1/9  10000.00   10.870           6.930",
                  "2          1/9  10000.00   10.890           8.060",
                  "3          1/9  10000.00   12.590           6.250",
                  "4          1/9  10000.00    9.970           8.160",
                  "5          1/9  10000.00   11.380           7.780",
                  "6          1/9  10000.00   11.870           4.820",
                  "7          2/9  20000.00   18.890           6.440",
                  "8          1/9  10000.00   13.960           8.060",
                  "Total      9/9  90000.00  100.420",
                  "",
                  "Best allocation of each part of the budget:",
                  "Total    Amount   Profit        P1        P2        P3        P4        P5     "
                  "   P6        P7        P8",
                  "0/9        0.00    0.000      0.00      0.00      0.00      0.00      0.00     "
                  " 0.00      0.00      0.00",
                  "1/9    10000.00   13.960      0.00      0.00      0.00      0.00      0.00     "
                  " 0.00      0.00  10000.00",
                  "2/9    20000.00   26.550      0.00      0.00  10000.00      0.00      0.00     "
                  " 0.00      0.00  10000.00",
                  "3/9    30000.00   38.420      0.00      0.00  10000.00      0.00      0.00  "
                  "10000.00      0.00  10000.00",
                  "4/9    40000.00   49.800      0.00      0.00  10000.00      0.00  10000.00  "
                  "10000.00      0.00  10000.00",
                  "5/9    50000.00   60.690      0.00  10000.00  10000.00      0.00  10000.00  "
                  "10000.00      0.00  10000.00",
                  "6/9    60000.00   71.560  10000.00  10000.00  10000.00      0.00  10000.00  "
                  "10000.00      0.00  10000.00",
                  "7/9    70000.00   82.180  10000.00  10000.00  10000.00      0.00  10000.00  "
                  "10000.00  10000.00  10000.00",
                  "8/9    80000.00   92.150  10000.00  10000.00  10000.00  10000.00  10000.00  "
                  "10000.00  10000.00  10000.00",
                  "9/9    90000.00  100.420  10000.00  10000.00  10000.00  10000.00  10000.00  "
                  "10000.00  20000.00  10000.00"})},
      {"the CSV of a budget and a current split",
       {"--budget", "90000", "--current", kEvenSplit, "--csv"},
       "individual,profit,share1,share2,share3,share4,share5,share6,share7,share8,amount1,"
       "amount2,amount3,amount4,amount5,amount6,amount7,amount8\n"
       "1,100.42,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.22222222,"
       "0.11111111,10000.00,10000.00,10000.00,10000.00,10000.00,10000.00,20000.00,10000.00\n"
       "current,99.44125,0.125,0.125,0.125,0.125,0.125,0.125,0.125,0.125,11250.00,11250.00,"
       "11250.00,11250.00,11250.00,11250.00,11250.00,11250.00\n"},
  };
  const std::string table = ExampleTable();
  ASSERT_FALSE(table.empty());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Outcome o = RunOptimumOn(table, row.arguments);
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, row.expected);
  }
}

// The same shares written as shares or as amounts of any budget give the same allocation.
TEST(PlannerRun, SharesAndAmountsGiveTheSameAllocation) {
  const std::string table = ExampleTable();
  Outcome shares = RunOptimumOn(table, {"--lock", "3=0.125", "--min", "7=0.25", "--csv"});
  for (const char* budget : {"8", "72", "1000", "4096"}) {
    SCOPED_TRACE(budget);
    double b = std::stod(budget);
    auto amount = [&](double share) { return std::to_string(share * b); };
    Outcome amounts = RunOptimumOn(table, {"--budget", budget, "--lock", "3=" + amount(0.125),
                                           "--min", "7=" + amount(0.25), "--csv"});
    ASSERT_EQ(amounts.exitCode, 0);
    // The header and the line up to the shares, without the amounts.
    std::vector<std::string> a = Split(Split(shares.out, '\n')[1], ',');
    std::vector<std::string> b2 = Split(Split(amounts.out, '\n')[1], ',');
    ASSERT_EQ(a.size(), 10u);
    ASSERT_EQ(b2.size(), 18u);
    for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], b2[i]) << i;
  }
}

// allocate --optimum adds one line and changes nothing above it; its figure is the one
// allocate-optimum prints, and the CSV's last line is allocate-optimum's own.
TEST(PlannerRun, AllocateOptimumLeavesTheReportAsItIs) {
  Workdir dir;
  ASSERT_TRUE(dir.WriteFunction(ExampleTable()));
  const std::vector<std::string> run = {"--seed",       "7",    "--individuals", "10",
                                        "--iterations", "1000", "--amplitude",   "0.01"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> arguments = run;
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunProgram(dir, {.input = "\n", .arguments = arguments});
  };
  const std::string last = "Press ENTER to exit.\r\n";
  Outcome plain = with({});
  Outcome optimum = with({"--optimum"});
  ASSERT_EQ(plain.exitCode, 0);
  ASSERT_EQ(optimum.exitCode, 0);
  ASSERT_TRUE(plain.out.ends_with(last));
  const std::string report = plain.out.substr(0, plain.out.size() - last.size());
  EXPECT_EQ(optimum.out, report + "  Exact optimum:  100.420 (best found 0.14 % short)\r\n" + last);
  EXPECT_NE(report.find("  Maximum profit: 100.284\r\n"), std::string::npos);

  Outcome csv = with({"--csv"});
  Outcome csvOptimum = with({"--optimum", "--csv"});
  Outcome exact = RunProgram(dir, {.arguments = {"--csv"}, .program = Program::kOptimum});
  std::string exactLine = Split(exact.out, '\n')[1];
  ASSERT_TRUE(exactLine.starts_with("1,"));
  EXPECT_EQ(csvOptimum.out, csv.out + "optimum" + exactLine.substr(1) + "\n");
  Outcome text = RunProgram(dir, {.program = Program::kOptimum});
  EXPECT_NE(text.out.find("  Maximum profit: 100.420\r\n"), std::string::npos);
}

// The shortfall in percent, on tables whose optimum and search are known.
TEST(PlannerRun, AllocateOptimumShortfall) {
  struct Row {
    const char* name;
    std::string table;
    std::string line;
  } const rows[] = {
      // Every entry 5: every allocation earns 40, the best one too.
      {"every allocation the best", Repeat("5 ", 80),
       "  Exact optimum:   40.000 (best found 0.00 % short)"},
      // Every entry 0: an optimum of 0, reached.
      {"nothing to earn", "0", "  Exact optimum:    0.000 (best found 0.00 % short)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Outcome o = RunOnTable(row.table,
                           {.arguments = {"--seed", "3", "--individuals", "4", "--iterations", "50",
                                          "--amplitude", "0.01", "--no-wait", "--optimum"}});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(o.out.ends_with(row.line + "\r\n")) << o.out;
  }
}

// The frontier's CSV: a line per total, the 9/9 line allocate-optimum's best, with what one
// more ninth adds; below the floors the fields are empty.
TEST(PlannerRun, FrontierCsvHasALinePerTotal) {
  const std::string table = ExampleTable();
  Outcome best = RunOptimumOn(table, {"--csv"});
  Outcome frontier = RunOptimumOn(table, {"--frontier", "--csv"});
  ASSERT_EQ(frontier.exitCode, 0);
  std::vector<std::string> lines = Split(frontier.out, '\n');
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0],
            "total,profit,share1,share2,share3,share4,share5,share6,share7,share8,next1,next2,"
            "next3,next4,next5,next6,next7,next8");
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, 4), std::to_string(i - 1) + "/9,");
    EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ','), 17);
  }
  // The whole budget: allocate-optimum's profit and shares, then the eight gains.
  std::string bestLine = Split(best.out, '\n')[1];
  EXPECT_TRUE(lines[10].starts_with("9/9" + bestLine.substr(1) + ",6.9299994,")) << lines[10];

  // Floors of 0.3 and 0.2 leave nothing below 5/9 (0.5 <= 5/9).
  Outcome floors = RunOptimumOn(table, {"--frontier", "--csv", "--min", "1=0.3", "--min", "2=0.2"});
  ASSERT_EQ(floors.exitCode, 0);
  lines = Split(floors.out, '\n');
  ASSERT_EQ(lines.size(), 11u);
  for (int total = 0; total <= 9; ++total) {
    bool empty = lines[total + 1] == std::to_string(total) + "/9" + std::string(17, ',');
    EXPECT_EQ(empty, total < 5) << lines[total + 1];
  }
}

TEST(PlannerRun, BadValuesEndWith64BeforeTheTableIsRead) {
  const std::string hint = " (allocate-optimum --help lists the options)";
  struct Row {
    std::vector<std::string> arguments;
    std::string err;
  } const rows[] = {
      {{"--min", "0=0.1"}, "--min \"0=0.1\": the projects are 1 to 8" + hint},
      {{"--max", "9=0.1"}, "--max \"9=0.1\": the projects are 1 to 8" + hint},
      {{"--lock", "10=0.1"}, "--lock \"10=0.1\": the projects are 1 to 8" + hint},
      {{"--lock", "3"},
       "--lock \"3\": a project 1 to 8, \"=\" and a value are needed, as in 3=0.2" + hint},
      {{"--min", "3=1.5"}, "--min \"3=1.5\": the share is not from 0 to 1" + hint},
      {{"--max", "3=-0.1"}, "--max \"3=-0.1\": the share is not from 0 to 1" + hint},
      {{"--min", "3=abc"}, "--min \"3=abc\": the value after \"=\" is not a number" + hint},
      {{"--min", "3="}, "--min \"3=\": the value after \"=\" is not a number" + hint},
      // An amount beyond the budget, whichever comes first.
      {{"--min", "3=1500", "--budget", "1000"},
       "--min \"3=1500\": the amount is not from 0 to the budget" + hint},
      {{"--budget", "-5"}, "--budget \"-5\": the budget must be a positive number" + hint},
      {{"--budget", "0"}, "--budget \"0\": the budget must be a positive number" + hint},
      {{"--budget", "12abc"}, "--budget \"12abc\": the budget must be a positive number" + hint},
      // Read by the program's own reader, but never to a stop of its own.
      {{"--budget", "1e5000"}, "--budget \"1e5000\": the budget must be a positive number" + hint},
      {{"--budget", "2e15"},
       "--budget \"2e15\": the budget must be at most 1e15, for amounts to the cent" + hint},
      {{"--current", "0.2,0.1,0.1,0.1,0.1,0.1,0.3"},
       "--current \"0.2,0.1,0.1,0.1,0.1,0.1,0.3\": 7 numbers where 8 are needed" + hint},
      {{"--current", "1"}, "--current \"1\": 1 number where 8 are needed" + hint},
      {{"--current", "0.5,0.5,x,0,0,0,0,0"},
       "--current \"0.5,0.5,x,0,0,0,0,0\": number 3 is not a number" + hint},
      {{"--current", "0.1,0.1,0.1,0.1,0.1,0.1,0.1,0.1"},
       "--current \"0.1,0.1,0.1,0.1,0.1,0.1,0.1,0.1\": the shares add up to 0.8, not 1 "
       "within 0.1 %" +
           hint},
      {{"--budget", "1000", "--current", "100,100,100,100,100,100,100,298"},
       "--current \"100,100,100,100,100,100,100,298\": the amounts add up to 998.00, not "
       "1000.00 within 0.1 %" +
           hint},
      {{"--current", "1.5,-0.5,0,0,0,0,0,0"},
       "--current \"1.5,-0.5,0,0,0,0,0,0\": number 1: the share is not from 0 to 1" + hint},
      {{"--frontier=yes"}, "option --frontier takes no value" + hint},
      {{"--budget"}, "option --budget needs a value" + hint},
      {{"--optimum"}, "unknown option \"--optimum\"" + hint},
      // Bounds that leave no allocation: the line says which, and needs no hint.
      {{"--min", "3=0.6", "--min", "4=0.6"},
       "the minimums add up to 1.2, more than the whole budget, 1"},
      {{"--budget", "1000", "--lock", "1=600", "--min", "2=600"},
       "the minimums add up to 1200.00, more than the budget, 1000.00"},
      {{"--min", "2=0.5", "--max", "2=0.3"},
       "the minimum of project 2 (0.5) is above its "
       "maximum (0.3)"},
      {{"--max", "1=0.1", "--max", "2=0.1", "--max", "3=0.1", "--max", "4=0.1", "--max", "5=0.1",
        "--max", "6=0.1", "--max", "7=0.1", "--max", "8=0.1"},
       "the maximums add up to 0.8, less than the whole budget, 1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments[0] + (row.arguments.size() > 1 ? " " + row.arguments[1] : ""));
    Workdir dir;  // no function.txt: reading it would stop with 2
    Outcome o = RunProgram(dir, {.arguments = row.arguments, .program = Program::kOptimum});
    EXPECT_EQ(o.exitCode, 64);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, ErrorLine("allocate-optimum: " + row.err));
  }
}

// Bounds that just hold: amounts that add up to the budget exactly, and a lock on all.
TEST(PlannerRun, BoundsThatJustHoldAreKept) {
  const std::string table = ExampleTable();
  Outcome locks =
      RunOptimumOn(table, {"--budget", "1000", "--lock", "1=100.10", "--lock", "2=99.90", "--lock",
                           "3=125", "--lock", "4=125", "--lock", "5=125", "--lock", "6=125",
                           "--lock", "7=150.01", "--lock", "8=149.99", "--csv"});
  EXPECT_EQ(locks.exitCode, 0);
  EXPECT_TRUE(locks.out.ends_with(",100.10,99.90,125.00,125.00,125.00,125.00,150.01,149.99\n"))
      << locks.out;
}

TEST(PlannerRun, AllocateRefusesThePlannersOptions) {
  for (const char* option : {"--min", "--max", "--lock", "--budget", "--current", "--frontier"}) {
    SCOPED_TRACE(option);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    Outcome o = RunProgram(
        dir, {.input = "3\n2\n0.01\n\n", .in = Stdin::kFile, .arguments = {option, "3=0.2"}});
    EXPECT_EQ(o.exitCode, 64);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, ErrorLine("allocate: " + std::string(option) +
                               " is an option of allocate-optimum, not of the search: use "
                               "allocate-optimum " +
                               option + " (allocate --help lists the options)"));
    EXPECT_EQ(o.inputOffset, 0);
  }
}

}  // namespace
}  // namespace e2e
