// allocate-optimum seen from outside: what it prints for a table, that it neither reads
// standard input nor waits for it, and that it stops like allocate when the table or
// standard output fails (the stops themselves are allocate's, tested there).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

// Each project pays a fixed cost: a first ninth loses money. Project k earns
// 0.1 * (9 - k) more once funded.
std::string FixedCostTable() {
  const double curve[10] = {0, -2, 3, 7, 8, 8.5, 8.8, 9, 9.1, 9.2};
  std::string text;
  char number[32];
  for (int k = 1; k <= 8; ++k) {
    for (int j = 0; j <= 9; ++j) {
      snprintf(number, sizeof number, "%.1f%c", j == 0 ? 0 : curve[j] + 0.1 * (9 - k),
               j < 9 ? ' ' : '\n');
      text += number;
    }
  }
  return text;
}

std::string MinusOnes() {
  std::string text;
  for (int n = 0; n < 80; ++n) text += "-1 ";
  return text;
}

TEST(OptimumRun, PrintsTheBestAllocationWithoutReadingInput) {
  struct Row {
    const char* name;
    std::string table;
    std::string expected;
  } const rows[] = {
      {"worked table: one ninth each, the spare one to the last of equals", WorkedTable(),
       Lines({"Exact optimum:", "H:1 F:115.000 W:0.111 0.111 0.111 0.111 0.111 0.111 0.111 0.222 ",
              "  Maximum profit: 115.000"})},
      {"fixed costs: three projects funded", FixedCostTable(),
       Lines({"Exact optimum:", "H:1 F: 23.100 W:0.333 0.333 0.333 0.000 0.000 0.000 0.000 0.000 ",
              "  Maximum profit:  23.100"})},
      {"every entry -1: the loss is shown, not 0", MinusOnes(),
       Lines({"Exact optimum:", "H:1 F: -8.000 W:0.000 0.000 0.000 0.000 0.000 0.000 0.000 1.000 ",
              "  Maximum profit:  -8.000"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Outcome o = RunOnTable(row.table, {.in = Stdin::kClosed, .program = Program::kOptimum});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, row.expected);
    EXPECT_EQ(o.err, "");
  }
}

// Meant for scripts: it ends while standard input is still open and empty.
TEST(OptimumRun, EndsWithoutWaitingForEnter) {
  Workdir dir;
  ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
  Child child = Child::Piped(dir, {.keepInputOpen = true, .program = Program::kOptimum});
  ASSERT_TRUE(child.Started());
  EXPECT_TRUE(child.EndsWithin(5000));
  EXPECT_EQ(child.Finish().exitCode, 0);
}

TEST(OptimumRun, StopsLikeAllocate) {
  struct Row {
    const char* name;
    bool writeTable;
    Stdout out;
    int code;
  } const rows[] = {
      {"function.txt missing", false, Stdout::kPipe, 2},
      {"standard output full", true, Stdout::kDevFull, kDiskFull},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Workdir dir;
    if (row.writeTable) {
      ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    }
    Outcome o = RunProgram(dir, {.out = row.out, .program = Program::kOptimum});
    EXPECT_EQ(o.exitCode, row.code);
    if (row.out == Stdout::kPipe) {
      EXPECT_TRUE(EndsWithReport(o.out, "", row.code));
    }
  }
}

// Each program signs its line on standard error with its own name.
TEST(OptimumRun, EachProgramSignsItsStandardErrorLine) {
  struct Row {
    Program program;
    std::string name;
  } const rows[] = {{Program::kAllocate, "allocate"}, {Program::kOptimum, "allocate-optimum"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Workdir dir;
    Outcome o = RunProgram(dir, {.out = Stdout::kPipe, .program = row.program});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_EQ(o.err, ErrorLine(row.name + ": cannot open function.txt: " +
                               SystemText("No such file or directory", "File not found") +
                               MissingTableAdvice()));
  }
}

// Two entries of 3e38 that the best allocation takes both: their sum, 6e38, is beyond a
// float. The line says so, and names no entry of the table.
TEST(OptimumRun, ABestProfitBeyondAFloatStopsWith205) {
  std::string table;
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j)
      table += (k == 1 && j == 4) || (k == 2 && j == 5) ? "3e38 " : std::to_string(k) + " ";
  Outcome o = RunOnTable(table, {.program = Program::kOptimum});
  EXPECT_EQ(o.exitCode, 205);
  EXPECT_TRUE(EndsWithReport(o.out, "", 205));
  EXPECT_EQ(o.err, ErrorLine("allocate-optimum: the profit of the best allocation is beyond the "
                             "single-precision range (about 3.4E+38)"));
}

}  // namespace
}  // namespace e2e
