// The whole program from outside with piped input: fixed runs byte for byte, how answers
// are read and cut, the end of input, the final wait and the 128-byte blocks of piped
// output.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

// A directory holding the worked table.
class WorkedDir : public Workdir {
 public:
  WorkedDir() { EXPECT_TRUE(WriteFunction(WorkedTable())); }
};

::testing::AssertionResult IsCleanExit(const Outcome& o) {
  if (o.timedOut) return ::testing::AssertionFailure() << "timed out";
  if (o.exitCode != 0)
    return ::testing::AssertionFailure() << "exit " << o.exitCode << ", signal " << o.signal
                                         << ", output " << ::testing::PrintToString(o.out);
  if (!o.err.empty()) return ::testing::AssertionFailure() << "standard error: " << o.err;
  return ::testing::AssertionSuccess();
}

int ReportLineCount(const std::string& out) {
  int count = 0;
  for (size_t at = out.find("\nH:"); at != std::string::npos; at = out.find("\nH:", at + 1))
    ++count;
  return count;
}

TEST(WorkedRun, WholeOutputByteForByte) {
  struct Row {
    const char* name;
    std::string input;
    uint64_t clock;
    std::string expected;
  } rows[] = {
      {"no step", "3\n0\n0.01\n\n", 0, WorkedRunAfterNoStep()},
      {"two steps", "3\n2\n0.01\n\n", 0, WorkedRunAfterTwoSteps()},
      {"the seed keeps the clock's low 32 bits", "3\n2\n0.01\n\n", 4294967296,
       WorkedRunAfterTwoSteps()},
      {"CR LF line ends", "3\r\n2\r\n0.01\r\n\r\n", 0, WorkedRunAfterTwoSteps()},
      {"empty lines before the answers", "\n\n3\n\r\n\n2\n\n0.01\n\n", 0, WorkedRunAfterTwoSteps()},
      {"blanks, tabs and text after the answers", " 3 \t\n\t2 x\n 0.01 more text\n\n", 0,
       WorkedRunAfterTwoSteps()},
      {"amplitude in exponent form", "3\n2\n1E-2\n\n", 0, WorkedRunAfterTwoSteps()},
      {"three answers on one line: the rest reads as 0", "3 2 0.01\n", 0, WorkedRunAfterNoStep()},
      {"input ends before the final line", "3\n2\n0.01", 0, WorkedRunAfterTwoSteps()},
      {"end marker at the final wait", "3\n2\n0.01\n\x1a", 0, WorkedRunAfterTwoSteps()},
      {"end marker after the count: the rest reads as 0",
       "3\n\x1a"
       "2\n0.01\n\n",
       0, WorkedRunAfterNoStep()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WorkedDir dir;
    Outcome o = RunProgram(dir, {.input = row.input, .clock = row.clock});
    EXPECT_TRUE(IsCleanExit(o));
    EXPECT_EQ(o.out, row.expected);
  }
}

TEST(EndOfInput, FromTheStartGivesAnEmptyPopulationAndExitZero) {
  struct Row {
    const char* name;
    std::string input;
    Stdin in;
  } rows[] = {
      {"empty pipe", "", Stdin::kPipe},
      {"end marker first",
       "\x1a"
       "3\n2\n0.01\n\n",
       Stdin::kPipe},
      {"/dev/null", "", Stdin::kDevNull},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WorkedDir dir;
    // The real clock: with no individuals the seed shows nowhere.
    Outcome o = RunProgram(dir, {.input = row.input, .in = row.in});
    EXPECT_TRUE(IsCleanExit(o));
    EXPECT_EQ(o.out, EmptyRun());
  }
}

// Each input gives the same run, byte for byte, as the plain answers it stands for.
TEST(Answers, CutAndReadLikeThePlainValue) {
  struct Row {
    const char* name;
    std::string input;
    std::string sameAs;
    int individuals;
  } rows[] = {
      {"266 individuals keep the low 8 bits", "266\n0\n0.01\n\n", "10\n0\n0.01\n\n", 10},
      {"-236 individuals keep the low 8 bits", "-236\n0\n0.01\n\n", "20\n0\n0.01\n\n", 20},
      {"$14", "$14\n0\n0.01\n\n", "20\n0\n0.01\n\n", 20},
      {"0x14", "0x14\n0\n0.01\n\n", "20\n0\n0.01\n\n", 20},
      {"+10 and leading zeros", "+010\n0\n0.01\n\n", "10\n0\n0.01\n\n", 10},
      {"text after the number is discarded", "10 abc\n0\n0.01\n\n", "10\n0\n0.01\n\n", 10},
      {"65536 iterations run no step", "3\n65536\n0.01\n\n", "3\n0\n0.01\n\n", 3},
      {"70000 iterations run 4464", "3\n70000\n0.01\n\n", "3\n4464\n0.01\n\n", 3},
      {"-1 iterations run 65535", "3\n-1\n0.01\n\n", "3\n65535\n0.01\n\n", 3},
      {"hex iterations", "3\n$FF\n0.01\n\n", "3\n255\n0.01\n\n", 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WorkedDir dir;
    Outcome typed = RunProgram(dir, {.input = row.input, .clock = 0});
    Outcome plain = RunProgram(dir, {.input = row.sameAs, .clock = 0});
    EXPECT_TRUE(IsCleanExit(typed));
    EXPECT_TRUE(IsCleanExit(plain));
    EXPECT_EQ(typed.out, plain.out);
    EXPECT_EQ(ReportLineCount(plain.out), row.individuals);
  }
}

// The first n numbers of the worked table, each followed by a blank.
std::string FirstNumbers(int n) {
  std::string text;
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j)
      if ((k - 1) * 10 + j < n) text += std::to_string(k + j * (10 - j)) + " ";
  return text;
}

// A table with fewer than 80 numbers runs as one with the missing entries written as 0,
// byte for byte, and says on standard error how many it held. allocate-optimum the same,
// signed with its own name.
TEST(ShortTable, RunsAsWithZerosAndSaysSoOnStandardError) {
  const std::string holds = "function.txt holds ";
  struct Row {
    const char* name;
    std::string table;
    int numbers;
    std::string err;
  } rows[] = {
      {"empty file", "", 0, holds + "no numbers; all 80 entries are taken as 0"},
      {"64 KiB of blanks", std::string(65536, ' '), 0,
       holds + "no numbers; all 80 entries are taken as 0"},
      {"one number", "1\n", 1, holds + "1 number; the other 79 entries are taken as 0"},
      {"four rows", FirstNumbers(40), 40,
       holds + "40 numbers; the other 40 entries are taken as 0"},
      {"an end marker after 79", FirstNumbers(79) + "\x1a 5 6", 79,
       holds + "79 numbers; the other entry is taken as 0"},
      {"all 80: no line", FirstNumbers(80), 80, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (Program program : {Program::kAllocate, Program::kOptimum}) {
      Workdir shortDir, zerosDir;
      std::string zeros = FirstNumbers(row.numbers);
      for (int n = row.numbers; n < 80; ++n) zeros += "0 ";
      ASSERT_TRUE(shortDir.WriteFunction(row.table));
      ASSERT_TRUE(zerosDir.WriteFunction(zeros));
      RunSetup setup = {.input = "3\n5\n0.01\n\n", .clock = 0, .program = program};
      Outcome got = RunProgram(shortDir, setup);
      Outcome want = RunProgram(zerosDir, setup);
      EXPECT_EQ(got.exitCode, 0);
      EXPECT_EQ(got.out, want.out);
      EXPECT_TRUE(IsCleanExit(want));
      std::string name = program == Program::kAllocate ? "allocate: " : "allocate-optimum: ";
      EXPECT_EQ(got.err, row.err.empty() ? "" : ErrorLine(name + row.err));
    }
  }
}

// The worked table's first 80 numbers with some entries written otherwise.
std::string TableWith(const std::vector<std::pair<int, std::string>>& entries, int numbers = 80) {
  std::string text;
  for (int n = 0; n < numbers; ++n) {
    std::string entry = FirstNumbers(n + 1).substr(FirstNumbers(n).size());
    for (const auto& [at, token] : entries)
      if (at == n) entry = token + " ";
    text += entry;
  }
  return text;
}

// An entry without digits (".", "e5") is 0 as the file's rules say, and the run is that of
// the table with "0" there, byte for byte; each such entry gets a line on standard error,
// the first three, then a count of the others, before the short table's line. Both
// programs alike.
TEST(DigitlessEntries, RunAsZerosAndAreNamedOnStandardError) {
  const std::string none = "\" has no digits; taken as 0";
  struct Row {
    const char* name;
    std::vector<std::pair<int, std::string>> entries;
    int numbers;
    std::vector<std::string> lines;
  } const rows[] = {
      {"e5 for 1e5", {{0, "e5"}}, 80, {"function.txt, project 1, level 0: \"e5" + none}},
      {"three",
       {{9, "."}, {10, "-."}, {79, "+.e-5"}},
       80,
       {"function.txt, project 1, level 9: \"." + none,
        "function.txt, project 2, level 0: \"-." + none,
        "function.txt, project 8, level 9: \"+.e-5" + none}},
      {"five",
       {{3, "."}, {4, "-."}, {5, "e5"}, {6, ".e5"}, {7, "+.e-5"}},
       80,
       {"function.txt, project 1, level 3: \"." + none,
        "function.txt, project 1, level 4: \"-." + none,
        "function.txt, project 1, level 5: \"e5" + none,
        "function.txt: 2 more entries have no digits; taken as 0"}},
      {"one in a short table",
       {{1, "."}},
       3,
       {"function.txt, project 1, level 1: \"." + none,
        "function.txt holds 3 numbers; the other 77 entries are taken as 0"}},
      {"zeros with digits", {{0, "0"}, {1, ".0"}, {2, "0."}, {3, "-0e5"}}, 80, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::pair<int, std::string>> zeros;
    for (const auto& entry : row.entries) zeros.push_back({entry.first, "0"});
    for (Program program : {Program::kAllocate, Program::kOptimum}) {
      Workdir digitlessDir, zerosDir;
      ASSERT_TRUE(digitlessDir.WriteFunction(TableWith(row.entries, row.numbers)));
      ASSERT_TRUE(zerosDir.WriteFunction(TableWith(zeros, row.numbers)));
      RunSetup setup = {.input = "3\n5\n0.01\n\n", .clock = 0, .program = program};
      Outcome got = RunProgram(digitlessDir, setup);
      Outcome want = RunProgram(zerosDir, setup);
      EXPECT_EQ(got.exitCode, 0);
      EXPECT_EQ(got.out, want.out);
      std::string name = program == Program::kAllocate ? "allocate: " : "allocate-optimum: ";
      std::string err;
      for (const std::string& line : row.lines) err += ErrorLine(name + line);
      EXPECT_EQ(got.err, err);
    }
  }
}

// The amplitude's answer without digits is 0 as well, typed or given, and says so once.
TEST(DigitlessEntries, AnAmplitudeWithoutDigitsIsZeroAndSaysSo) {
  const std::string none = "\" has no digits; taken as 0";
  struct Row {
    std::string amplitude;
    std::string same;  // an answer with digits that gives the same run
    bool given;
    std::string err;
  } const rows[] = {
      {".", "0", false, "allocate: answer to question 3 (mutation amplitude): \"." + none},
      {"-. abc", "-0", false, "allocate: answer to question 3 (mutation amplitude): \"-." + none},
      {"e-2", "0", true, "allocate: value of --amplitude: \"e-2" + none},
      {"0.01", "0.01", false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.amplitude);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    RunSetup typed = {.input = "3\n5\n" + row.same + "\n\n", .clock = 0};
    RunSetup setup = typed;
    if (row.given) {
      setup.input = "3\n5\n\n";
      setup.arguments = {"--amplitude", row.amplitude};
      typed.arguments = {"--amplitude", row.same};
    } else {
      setup.input = "3\n5\n" + row.amplitude + "\n\n";
    }
    Outcome got = RunProgram(dir, setup);
    Outcome want = RunProgram(dir, typed);
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, want.out);
    EXPECT_EQ(got.err, row.err.empty() ? "" : ErrorLine(row.err));
  }
}

// Runs that must differ: the iterations keep 16 bits, not 8; the seed is the clock's.
TEST(Answers, RunsThatDiffer) {
  struct Row {
    const char* name;
    std::string input;
    uint64_t clock;
    std::string otherInput;
    uint64_t otherClock;
  } rows[] = {
      {"256 iterations are not 0", "3\n256\n0.01\n\n", 0, "3\n0\n0.01\n\n", 0},
      {"65535 iterations are not 255", "3\n65535\n0.01\n\n", 0, "3\n255\n0.01\n\n", 0},
      {"the seed comes from the clock", "3\n0\n0.01\n\n", 1, "3\n0\n0.01\n\n", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WorkedDir dir;
    Outcome one = RunProgram(dir, {.input = row.input, .clock = row.clock});
    Outcome other = RunProgram(dir, {.input = row.otherInput, .clock = row.otherClock});
    EXPECT_TRUE(IsCleanExit(one));
    EXPECT_TRUE(IsCleanExit(other));
    EXPECT_NE(one.out, other.out);
    EXPECT_EQ(ReportLineCount(one.out), 3);
  }
}

// The final wait ends with exactly one line: not before its line end, not later.
TEST(FinalWait, EndsWithTheFirstLineAfterTheReport) {
  struct Row {
    const char* name;
    std::string sent;
    bool endsAtOnce;
    std::string rest;
  } rows[] = {
      {"waits for ENTER", "3\n0\n0.01\n", false, "\n"},
      {"a line without its end is not enough", "3\n0\n0.01\nabc", false, "def\n"},
      {"a lone CR is not a line end", "3\n0\n0.01\n\r", false, "\n"},
      {"one empty line is enough", "3\n0\n0.01\n\nmore\n", true, ""},
      {"one line of text is enough", "3\n0\n0.01\nanything\n", true, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WorkedDir dir;
    Child child = Child::Piped(dir, {.input = row.sent, .clock = 0, .keepInputOpen = true});
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(child.EndsWithin(row.endsAtOnce ? 10000 : 400), row.endsAtOnce);
    child.Send(row.rest);
    if (!row.endsAtOnce) {
      EXPECT_TRUE(child.EndsWithin(10000));
    }
    Outcome o = child.Finish();
    EXPECT_TRUE(IsCleanExit(o));
    EXPECT_EQ(o.out, WorkedRunAfterNoStep());
  }
}

TEST(PipedOutput, ComesInBlocksOf128Bytes) {
  WorkedDir dir;
  const std::string whole = WorkedRunAfterNoStep();
  const size_t blocks = whole.size() / 128 * 128;
  ASSERT_GE(blocks, 256u);
  Child child = Child::Piped(dir, {.clock = 0, .keepInputOpen = true});
  ASSERT_TRUE(child.Started());

  // The first prompt waits in the buffer, and the program waits for its answer.
  child.ReadFor(300);
  EXPECT_EQ(child.Out(), "");

  // Up to the final wait, only whole blocks have gone out.
  child.Send("3\n0\n0.01\n");
  EXPECT_TRUE(child.ReadAtLeast(blocks, 10000));
  child.ReadFor(200);
  EXPECT_EQ(child.Out(), whole.substr(0, blocks));

  // The rest goes out when the run ends.
  child.Send("\n");
  Outcome o = child.Finish();
  EXPECT_TRUE(IsCleanExit(o));
  EXPECT_EQ(o.out, whole);
}

TEST(PipedOutput, LargestPopulationLeavesOnlyWholeBlocksBeforeTheEnd) {
  WorkedDir dir;
  Child child = Child::Piped(dir, {.input = "20\n1000\n0.01\n", .clock = 0, .keepInputOpen = true});
  ASSERT_TRUE(child.Started());
  EXPECT_TRUE(child.ReadAtLeast(20 * 66, 10000));
  child.ReadFor(200);
  const std::string early = child.Out();
  EXPECT_EQ(early.size() % 128, 0u);
  child.Send("\n");
  Outcome o = child.Finish();
  EXPECT_TRUE(IsCleanExit(o));
  EXPECT_EQ(ReportLineCount(o.out), 20);
  EXPECT_TRUE(o.out.starts_with(early));
  EXPECT_TRUE(o.out.ends_with("Press ENTER to exit.\r\n"));
  EXPECT_GT(o.out.size(), early.size());
}

}  // namespace
}  // namespace e2e
