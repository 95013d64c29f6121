// The convergence trace (--trace FILE) seen from outside: it changes nothing else a run
// writes, its rows are the steps of the schedule with the figures of the population at
// each, and a file that cannot be written ends the run before anything is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string SameEntry(const char* entry) {
  std::string text;
  for (int n = 0; n < 80; ++n) text += std::string(entry) + " ";
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

std::vector<std::string> Answers(const std::string& count, const std::string& iterations) {
  return {"--seed",   "42",          "--individuals", count,      "--iterations",
          iterations, "--amplitude", "0.01",          "--no-wait"};
}

// Every kind of run, with and without the trace: standard output, standard error and the
// exit status are the same (the report after many steps shows that the random draws are
// too), also for runs that stop.
TEST(Trace, ChangesNothingElseTheRunWrites) {
  struct Row {
    const char* name;
    std::string table;
    std::vector<std::string> arguments;
    std::string input;
  } const rows[] = {
      {"worked table, two steps", WorkedTable(), Answers("3", "2"), ""},
      {"twenty individuals, 1500 steps", WorkedTable(), Answers("20", "1500"), ""},
      {"as CSV", WorkedTable(),
       [] {
         auto a = Answers("5", "40");
         a.push_back("--csv");
         return a;
       }(),
       ""},
      {"typed answers and the wait", WorkedTable(), {"--seed", "7"}, "4\n30\n0.05\n\n"},
      {"an empty population", WorkedTable(), Answers("0", "5"), ""},
      {"a short table", "1 2 3", Answers("4", "10"), ""},
      {"a profit beyond float, stopping at the first step", SameEntry("3e38"), Answers("3", "4"),
       ""},
      {"a profit beyond float, stopping in the report", SameEntry("3e38"), Answers("3", "0"), ""},
      {"21 individuals", WorkedTable(), Answers("21", "4"), ""},
      {"a bad amplitude", WorkedTable(), {"--seed", "1", "--amplitude", "1e39"}, "3\n3\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(row.table));
    Outcome plain = RunProgram(dir, {.input = row.input, .arguments = row.arguments});
    std::vector<std::string> traced = row.arguments;
    traced.insert(traced.end(), {"--trace", "trace.csv"});
    Outcome withTrace = RunProgram(dir, {.input = row.input, .arguments = traced});
    EXPECT_EQ(withTrace.out, plain.out);
    EXPECT_EQ(withTrace.err, plain.err);
    EXPECT_EQ(withTrace.exitCode, plain.exitCode);
    EXPECT_TRUE(ReadWholeFile(dir.Path() + "/trace.csv").starts_with("step,best,mean\n"));
  }
}

// The rows are steps 0 .. iterations while they number at most 1000, then 1000 rows
// spread evenly, always with the first and the last, each row "step,best,mean".
TEST(Trace, RowsAreTheStepsOfTheSchedule) {
  struct Row {
    std::string iterations;
    size_t rows;
    std::vector<std::string> someSteps;  // at their row
  } const rows[] = {
      {"0", 1, {"0"}},
      {"5", 6, {"0", "1", "2", "3", "4", "5"}},
      {"999", 1000, {"0", "1"}},
      {"1000", 1000, {"0", "1", "2"}},
      {"65535", 1000, {"0", "65", "131"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.iterations);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    std::vector<std::string> arguments = Answers("2", row.iterations);
    arguments.insert(arguments.end(), {"--trace", "t.csv"});
    Outcome o = RunProgram(dir, {.arguments = arguments});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    std::vector<std::string> lines = Lines(ReadWholeFile(dir.Path() + "/t.csv"));
    ASSERT_EQ(lines.size(), row.rows + 1);
    EXPECT_EQ(lines[0], "step,best,mean");
    for (size_t i = 0; i < row.someSteps.size(); ++i)
      EXPECT_EQ(Fields(lines[i + 1])[0], row.someSteps[i]);
    EXPECT_EQ(Fields(lines.back())[0], row.iterations) << "the last step is always there";
    long previous = -1;
    for (size_t i = 1; i < lines.size(); ++i) {
      std::vector<std::string> fields = Fields(lines[i]);
      ASSERT_EQ(fields.size(), 3u) << lines[i];
      long step = std::stol(fields[0]);
      EXPECT_GT(step, previous) << lines[i];
      previous = step;
    }
  }
}

// The figures of a row are those of the population at that step: the first and the last
// row against the CSV of a run of 0 steps and of the whole run (same seed): the best is
// the highest profit, the mean their mean, in the CSV's digits.
TEST(Trace, FiguresAreThoseOfThePopulation) {
  struct Row {
    const char* name;
    std::string table;
  } const rows[] = {
      {"worked table", WorkedTable()},
      {"losses", SameEntry("-7.25")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (const char* iterations : {"0", "300"}) {
      Workdir dir;
      ASSERT_TRUE(dir.WriteFunction(row.table));
      std::vector<std::string> arguments = Answers("6", iterations);
      arguments.insert(arguments.end(), {"--csv", "--trace", "t.csv"});
      Outcome o = RunProgram(dir, {.arguments = arguments});
      ASSERT_EQ(o.exitCode, 0);
      std::vector<std::string> csv = Lines(o.out);
      ASSERT_EQ(csv.size(), 7u);
      float best = 0;
      long double sum = 0;
      for (size_t i = 1; i < csv.size(); ++i) {
        float profit = std::stof(Fields(csv[i])[1]);
        if (i == 1 || profit > best) best = profit;
        sum += profit;
      }
      std::vector<std::string> last = Fields(Lines(ReadWholeFile(dir.Path() + "/t.csv")).back());
      EXPECT_EQ(last[0], iterations);
      EXPECT_EQ(std::stof(last[1]), best);
      EXPECT_EQ(std::stof(last[2]), static_cast<float>(sum / 6));
    }
  }
}

TEST(Trace, AnEmptyPopulationLeavesTheFiguresEmpty) {
  Workdir dir;
  ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
  std::vector<std::string> arguments = Answers("0", "2");
  arguments.insert(arguments.end(), {"--trace", "t.csv"});
  EXPECT_EQ(RunProgram(dir, {.arguments = arguments}).exitCode, 0);
  EXPECT_EQ(ReadWholeFile(dir.Path() + "/t.csv"), "step,best,mean\n0,,\n1,,\n2,,\n");
}

// Before anything is read (here function.txt is missing, which would stop with 2): one
// line naming the file, nothing on standard output, 64.
TEST(Trace, AFileThatCannotBeWrittenEndsTheRunAt64) {
  for (const char* name : {"no-such-folder/t.csv", "."}) {
    SCOPED_TRACE(name);
    Workdir dir;
    Outcome o = RunProgram(dir, {.arguments = {"--seed", "1", "--trace", name}});
    EXPECT_EQ(o.exitCode, 64);
    EXPECT_EQ(o.out, "");
    std::string start = std::string("allocate: cannot write the trace to ") + name + ": ";
    EXPECT_TRUE(o.err.starts_with(start)) << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
  }
}

TEST(Trace, IsListedByHelp) {
  Workdir dir;
  Outcome o = RunProgram(dir, {.arguments = {"--help"}});
  EXPECT_NE(o.out.find("  --trace FILE "), std::string::npos) << o.out;
  Outcome optimum =
      RunProgram(dir, {.arguments = {"--trace", "t.csv"}, .program = Program::kOptimum});
  EXPECT_EQ(optimum.exitCode, 64) << "allocate-optimum takes no trace";
}

}  // namespace
}  // namespace e2e
