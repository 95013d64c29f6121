// Every way the whole program stops on a failure, seen from outside: the exit status, the
// line in words on standard error, and where standard output is captured, exactly what
// came before the report line and the report line itself.
#include <gtest/gtest.h>

#include <optional>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

enum class Function { kWorked, kMissing, kDirectory, kBytes };

struct Row {
  const char* name;
  std::string input;
  int code;
  std::optional<std::string> before;  // output before the report; unset when not captured
  std::string err;                    // standard error, without its line end
  Function function = Function::kWorked;
  std::string bytes = {};  // the file for kBytes
  Stdin in = Stdin::kPipe;
  Stdout out = Stdout::kPipe;
};

void Prepare(const Workdir& dir, const Row& row) {
  switch (row.function) {
    case Function::kWorked:
      ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
      break;
    case Function::kMissing:
      break;
    case Function::kDirectory:
      ASSERT_TRUE(dir.MakeFunctionDirectory());
      break;
    case Function::kBytes:
      ASSERT_TRUE(dir.WriteFunction(row.bytes));
      break;
  }
}

void ExpectStop(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // Wine reuses a descriptor 0 or 1 that was closed before it started for itself; Node
    // opens /dev/null in its place.
    if ((UnderWine() || UnderWasm()) && (row.in == Stdin::kClosed || row.out == Stdout::kClosed))
      continue;
    Workdir dir;
    Prepare(dir, row);
    Outcome o = RunProgram(dir, {.input = row.input, .clock = 0, .in = row.in, .out = row.out});
    EXPECT_FALSE(o.timedOut);
    EXPECT_EQ(o.signal, 0);
    EXPECT_EQ(o.exitCode, row.code);
    EXPECT_EQ(o.err, ErrorLine(row.err));
    if (row.before) {
      EXPECT_TRUE(EndsWithReport(o.out, *row.before, row.code));
    }
  }
}

const std::string kAnswers = "3\n2\n0.01\n\n";

// Linux opens a directory and fails to read it; Windows refuses to open it.
const std::string kDirectoryLine = UnderWine()
                                       ? "allocate: cannot open function.txt: Access denied"
                                       : "allocate: cannot read function.txt: Is a directory";

TEST(FunctionFileFailure, StopsBeforeAnyPrompt) {
  std::string longProfit = "0.";  // 70 bytes
  while (longProfit.size() < 70) longProfit += static_cast<char>('1' + longProfit.size() % 9);
  const std::string firstLine = WorkedTable().substr(0, WorkedTable().find('\n') + 1);
  ExpectStop({
      {"missing", kAnswers, 2, "",
       "allocate: cannot open function.txt: " +
           SystemText("No such file or directory", "File not found") + MissingTableAdvice(),
       Function::kMissing},
      {"a directory", kAnswers, kIsADirectory, "", kDirectoryLine, Function::kDirectory},
      {"letters after a number", kAnswers, 106, "",
       "allocate: function.txt, project 1, level 2: \"12abc\" is not a number", Function::kBytes,
       "1 2 12abc 4\n"},
      {"decimal comma", kAnswers, 106, "",
       "allocate: function.txt, project 1, level 0: \"1,5\" is not a number", Function::kBytes,
       "1,5\n"},
      {"byte-order mark", kAnswers, 106, "",
       "allocate: function.txt, project 1, level 0: \"\\xEF\\xBB\\xBF1\" is not a number",
       Function::kBytes, "\xEF\xBB\xBF" + WorkedTable()},
      {"a 70-byte profit", kAnswers, 106, "",
       "allocate: function.txt, project 2, level 9: \"" + longProfit.substr(0, 16) +
           "...\" is longer than 64 characters",
       Function::kBytes, firstLine + "2 1 2 3 4 5 6 7 8 " + longProfit + " 9\n"},
      {"too large for a float", kAnswers, 205, "",
       "allocate: function.txt, project 1, level 2: \"1e39\" is beyond the single-precision "
       "range (about 3.4E+38)",
       Function::kBytes, "1 2 1e39\n"},
      {"an exponent of 5120", kAnswers, 205, "",
       "allocate: function.txt, project 1, level 2: \"-1e5120\" is beyond the single-precision "
       "range (about 3.4E+38)",
       Function::kBytes, "0e5120 1 -1e5120\n"},
  });
}

TEST(AnswerFailure, StopsAtThePromptAfterItsLine) {
  const std::string one(kCountPrompt), two = one + std::string(kIterationsPrompt);
  const std::string three = AllPrompts();
  const std::string count = "allocate: answer to question 1 (number of individuals): ";
  const std::string amplitude = "allocate: answer to question 3 (mutation amplitude): ";
  const std::string notInteger = " is not an integer from -2147483648 to 2147483647";
  const std::string beyondFloat = " is beyond the single-precision range (about 3.4E+38)";
  ExpectStop({
      {"10abc", "10abc\n3\n0.01\n\n", 106, one, count + "\"10abc\"" + notInteger},
      {"abc", "abc\n", 106, one, count + "\"abc\"" + notInteger},
      {"a real at the count", "1.5\n", 106, one, count + "\"1.5\"" + notInteger},
      {"2147483648", "2147483648\n", 106, one, count + "\"2147483648\"" + notInteger},
      {"33 ones", std::string(33, '1') + "\n", 106, one,
       count + "\"1111111111111111...\" is longer than 32 characters"},
      {"letters at the iterations", "3\nabc\n", 106, two,
       "allocate: answer to question 2 (iterations count): \"abc\"" + notInteger},
      {"exponent without digits", "3\n2\n1e\n", 106, three, amplitude + "\"1e\" is not a number"},
      {"invalid token holding a huge number", "3\n2\n1e39x\n", 106, three,
       amplitude + "\"1e39x\" is not a number"},
      {"amplitude too large for a float", "3\n2\n1e39\n", 205, three,
       amplitude + "\"1e39\"" + beyondFloat},
      {"amplitude beyond the extended range", "3\n2\n1e4933\n", 205, three,
       amplitude + "\"1e4933\"" + beyondFloat},
      {"amplitude with an exponent beyond 5120", "3\n2\n1e99999\n", 205, three,
       amplitude + "\"1e99999\"" + beyondFloat},
  });
}

// The stop comes only after the rest of the bad answer's line has been read: a shell
// reading the same file afterwards goes on after that line, not inside it.
TEST(AnswerFailure, ReadsTheBadLineToItsEndBeforeStopping) {
  Workdir dir;
  ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
  const std::string badLine = "10abc" + std::string(300, 'x') + "\n";
  const std::string input = badLine + "3\n0\n0.01\n\n" + std::string(1000, 'y') + "\n";
  Outcome o = RunProgram(dir, {.input = input, .clock = 0, .in = Stdin::kFile});
  EXPECT_EQ(o.exitCode, 106);
  EXPECT_TRUE(EndsWithReport(o.out, kCountPrompt, 106));
  EXPECT_GE(o.inputOffset, static_cast<int64_t>(badLine.size()));
  EXPECT_LT(o.inputOffset, static_cast<int64_t>(input.size()));
}

// More than 20 individuals end in the bounds check of the slots, before any individual's
// line. A decimal count of 21 .. 255 is named as its value; any other answer is quoted as
// typed, with the count its low 8 bits make.
TEST(SearchFailure, StopsBeforeTheReport) {
  const std::string three = AllPrompts();
  const std::string tooMany =
      ", but the population holds at most 20; "
      "answer question 1 with 20 or less";
  const std::string lowBits = " individuals asked for, taken as 255 (only the low 8 bits count)";
  ExpectStop({
      {"21 individuals", "21\n1\n0.01\n\n", 201, three,
       "allocate: 21 individuals asked for" + tooMany},
      {"21 individuals without steps", "21\n0\n0.01\n\n", 201, three,
       "allocate: 21 individuals asked for" + tooMany},
      {"0255 in decimal", "0255\n0\n0.01\n\n", 201, three,
       "allocate: 255 individuals asked for" + tooMany},
      {"-1 individuals are 255", "-1\n0\n0.01\n\n", 201, three,
       "allocate: \"-1\"" + lowBits + tooMany},
      {"65535 individuals are 255", "65535\n0\n0.01\n\n", 201, three,
       "allocate: \"65535\"" + lowBits + tooMany},
      {"$FFFF as typed", "$FFFF\n0\n0.01\n\n", 201, three,
       "allocate: \"$FFFF\"" + lowBits + tooMany},
      {"$19 is 25", "$19\n0\n0.01\n\n", 201, three,
       "allocate: \"$19\" individuals asked for, taken as 25" + tooMany},
      {"a long answer is cut", "00000000000000000065535\n0\n0.01\n\n", 201, three,
       "allocate: \"0000000000000000...\"" + lowBits + tooMany},
  });
}

// Every entry is a float, but a sum of 8 of them is not: the table's profits are too large
// for single precision, wherever an allocation's total is first taken.
TEST(SearchFailure, ProfitsTooLargeForSinglePrecisionSaySo) {
  std::string large, negative;
  for (int n = 0; n < 80; ++n) {
    large += "1e38 ";
    negative += n % 10 == 0 ? "1 " : "-2e38 ";
  }
  const std::string tooLarge =
      "allocate: the table's profits are too large for single precision: an allocation's "
      "total profit is beyond its range (about 3.4E+38)";
  ExpectStop({
      {"during the search", "3\n5\n0.01\n\n", 205, AllPrompts(), tooLarge + " during the search",
       Function::kBytes, large},
      {"losses, during the search", "3\n5\n0.01\n\n", 205, AllPrompts(),
       tooLarge + " during the search", Function::kBytes, negative},
      {"with no step, while printing", "3\n0\n0.01\n\n", 205,
       AllPrompts() + "Optimal solution:\r\n", tooLarge + " while printing the report",
       Function::kBytes, large},
  });
}

// Counts of 0 and 1, tables without a positive profit or without one below 1e9, and
// mutations that would leave an individual no share above 0 (which then keeps its
// shares) run to the end: one report line per individual and the maximum profit.
TEST(SearchRun, AnyCountUpTo20AndAnyTableRunToTheReport) {
  std::string billions;
  std::string zeros;
  for (int n = 0; n < 80; ++n) {
    billions += std::to_string(1000000000 + n * 1000) + " ";
    zeros += "0 ";
  }
  struct Mended {
    const char* name;
    std::string function;
    std::string input;
    size_t lines;
    std::string maximum;
  } const rows[] = {
      {"no individual", WorkedTable(), "0\n5\n0.01\n\n", 0, "  Maximum profit:   0.000"},
      {"one individual", WorkedTable(), "1\n5\n0.01\n\n", 1, ""},
      {"every profit 0", zeros, "3\n5\n0.01\n\n", 3, "  Maximum profit:   0.000"},
      {"profits above 1e9", billions, "20\n3000\n0.01\n\n", 20, ""},
      {"the largest run at amplitude 0.3", WorkedTable(), "20\n65535\n0.3\n\n", 20, ""},
      {"amplitude 1e30: nearly every mutation", WorkedTable(), "3\n65535\n1e30\n\n", 3, ""},
  };
  for (const Mended& row : rows) {
    SCOPED_TRACE(row.name);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(row.function));
    Outcome o = RunProgram(dir, {.input = row.input, .clock = 0});
    EXPECT_EQ(o.exitCode, 0);
    const std::string head = AllPrompts() + "Optimal solution:\r\n";
    ASSERT_TRUE(o.out.starts_with(head)) << o.out;
    size_t lines = 0;
    for (size_t at = head.size(); o.out.compare(at, 2, "H:") == 0; at = o.out.find("\r\n", at) + 2)
      ++lines;
    EXPECT_EQ(lines, row.lines);
    EXPECT_TRUE(o.out.ends_with(row.maximum + "\r\nPress ENTER to exit.\r\n")) << o.out;
    EXPECT_EQ(o.out.find("Nan"), std::string::npos) << o.out;
    EXPECT_EQ(o.err, "");
  }
}

TEST(ChannelFailure, StandardFilesThatCannotServe) {
  ExpectStop({
      {"standard input closed", kAnswers, 104, std::string(kCountPrompt),
       "allocate: cannot read standard input: it is not open", Function::kWorked, "",
       Stdin::kClosed},
      {"standard output closed", kAnswers, 105, std::nullopt,
       "allocate: cannot write standard output: it is not open", Function::kWorked, "",
       Stdin::kPipe, Stdout::kClosed},
      {"standard output full", kAnswers, kDiskFull, std::nullopt,
       "allocate: cannot write standard output: " +
           SystemText("No space left on device", "Disk full"),
       Function::kWorked, "", Stdin::kPipe, Stdout::kDevFull},
      {"reader gone", kAnswers, kReaderGone, std::nullopt,
       "allocate: cannot write standard output: " + SystemText("Broken pipe", "Pipe not connected"),
       Function::kWorked, "", Stdin::kPipe, Stdout::kPipeClosedByReader},
      // The prompt waits in the buffer until the stop, whose write of it fails in turn.
      {"a bad answer, and the reader gone", "abc\n", 106, std::nullopt,
       "allocate: answer to question 1 (number of individuals): \"abc\" is not an integer from "
       "-2147483648 to 2147483647",
       Function::kWorked, "", Stdin::kPipe, Stdout::kPipeClosedByReader},
  });
}

// Ended from outside at the final wait, with its last lines still in the buffer (piped
// output goes in blocks): they go out before the process ends. Ctrl-C is a stop (217,
// after the report); a request to end ends by its own signal. Under Wine a request to
// end kills the process outright, as TerminateProcess would on Windows.
TEST(EndedFromOutside, PendingOutputIsWrittenFirst) {
  struct Row {
    const char* name;
    int signal;
    int code;  // the exit status after a stop; 0 when the signal itself ends the process
  } rows[] = {
      {"Ctrl-C", SIGINT, 217}, {"SIGTERM", SIGTERM, 0}, {"SIGHUP", SIGHUP, 0},
      {"SIGQUIT", SIGQUIT, 0}, {"SIGUSR1", SIGUSR1, 0}, {"SIGALRM", SIGALRM, 0},
  };
  if (UnderWasm()) GTEST_SKIP() << "no signals reach a WASI command";
  const std::string whole = WorkedRunAfterNoStep();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (UnderWine() && row.code == 0) continue;
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    Child child = Child::Piped(dir, {.input = "3\n0\n0.01\n", .clock = 0, .keepInputOpen = true});
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(child.ReadAtLeast(whole.size() / 128 * 128, 10000));
    child.ReadFor(300);  // the program reaches its final wait
    child.Signal(row.signal);
    EXPECT_TRUE(child.EndsWithin(10000));  // by the signal, not by the end of the input
    Outcome o = child.Finish();
    EXPECT_FALSE(o.timedOut);
    if (row.code != 0) {
      EXPECT_EQ(o.exitCode, row.code);
      EXPECT_TRUE(EndsWithReport(o.out, whole, row.code));
    } else {
      EXPECT_EQ(o.signal, row.signal);
      EXPECT_EQ(o.out, whole);
    }
  }
}

// nohup leaves SIGHUP ignored, a background job of a non-interactive shell SIGINT: the
// program keeps them ignored and runs on to its normal end.
TEST(EndedFromOutside, ASignalIgnoredAtTheStartStaysIgnored) {
  if (UnderWine()) GTEST_SKIP() << "Wine has no signals of its own to ignore";
  if (UnderWasm()) GTEST_SKIP() << "no signals reach a WASI command";
  const std::string whole = WorkedRunAfterNoStep();
  for (int signal : {SIGHUP, SIGINT}) {
    SCOPED_TRACE(signal);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    Child child = Child::Piped(
        dir,
        {.input = "3\n0\n0.01\n", .clock = 0, .keepInputOpen = true, .ignoredSignals = {signal}});
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(child.ReadAtLeast(whole.size() / 128 * 128, 10000));
    child.ReadFor(200);  // the program reaches its final wait
    child.Signal(signal);
    EXPECT_FALSE(child.EndsWithin(300));
    child.Send("\n");
    Outcome o = child.Finish();
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, whole);
  }
}

// Ctrl-C into a full pipe nobody reads: the stop blocks writing what is pending. A
// request to end still ends the process, by its own signal.
TEST(EndedFromOutside, AStopStuckInItsWriteCanStillBeEnded) {
  if (UnderWine()) GTEST_SKIP() << "Wine ends the process outright";
  if (UnderWasm()) GTEST_SKIP() << "no signals reach a WASI command";
  for (int signal : {SIGTERM, SIGHUP, SIGQUIT}) {
    SCOPED_TRACE(signal);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    Child child = Child::Piped(
        dir,
        {.input = "3\n0\n0.01\n", .clock = 0, .out = Stdout::kPipeFull, .keepInputOpen = true});
    ASSERT_TRUE(child.Started());
    SleepMs(200);  // blocked in the write of its first block
    child.Signal(SIGINT);
    ASSERT_FALSE(child.EndsWithin(200)) << "the stop was not stuck";
    child.Signal(signal);
    EXPECT_TRUE(child.EndsWithin(5000));
    Outcome o = child.Finish();
    EXPECT_EQ(o.signal, signal);
  }
}

}  // namespace
}  // namespace e2e
