// Every way the whole program stops on a failure, seen from outside: the exit status,
// and where standard output is captured, exactly what came before the report line and
// the report line itself.
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
  Function function = Function::kWorked;
  std::string bytes = {};  // the file for kBytes
  Stdin in = Stdin::kPipe;
  Stdout out = Stdout::kPipe;
};

void Prepare(const Workdir& dir, const Row& row) {
  switch (row.function) {
    case Function::kWorked: ASSERT_TRUE(dir.WriteFunction(WorkedTable())); break;
    case Function::kMissing: break;
    case Function::kDirectory: ASSERT_TRUE(dir.MakeFunctionDirectory()); break;
    case Function::kBytes: ASSERT_TRUE(dir.WriteFunction(row.bytes)); break;
  }
}

void ExpectStop(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // Wine reuses a descriptor 0 or 1 that was closed before it started for itself.
    if (UnderWine() && (row.in == Stdin::kClosed || row.out == Stdout::kClosed)) continue;
    Workdir dir;
    Prepare(dir, row);
    Outcome o = RunProgram(dir, {.input = row.input, .clock = 0, .in = row.in, .out = row.out});
    EXPECT_FALSE(o.timedOut);
    EXPECT_EQ(o.signal, 0);
    EXPECT_EQ(o.exitCode, row.code);
    EXPECT_EQ(o.err, "");
    if (row.before) {
      EXPECT_TRUE(EndsWithReport(o.out, *row.before, row.code));
    }
  }
}

const std::string kAnswers = "3\n2\n0.01\n\n";

// Codes that are the system's own error numbers: Linux's, or Windows' as Wine gives them.
const int kIsADirectory = UnderWine() ? 5 : 21;  // ERROR_ACCESS_DENIED; EISDIR
const int kDiskFull = UnderWine() ? 112 : 28;    // ERROR_DISK_FULL; ENOSPC
// ERROR_PIPE_NOT_CONNECTED (Windows itself may say 232 or 109); EPIPE
const int kReaderGone = UnderWine() ? 233 : 32;

TEST(FunctionFileFailure, StopsBeforeAnyPrompt) {
  ExpectStop({
      {"missing", kAnswers, 2, "", Function::kMissing},
      {"a directory", kAnswers, kIsADirectory, "", Function::kDirectory},
      {"letters after a number", kAnswers, 106, "", Function::kBytes, "1 2 12abc 4\n"},
      {"decimal comma", kAnswers, 106, "", Function::kBytes, "1,5\n"},
      {"byte-order mark", kAnswers, 106, "", Function::kBytes, "\xEF\xBB\xBF" + WorkedTable()},
      {"too large for a float", kAnswers, 205, "", Function::kBytes, "1 2 1e39\n"},
  });
}

TEST(AnswerFailure, StopsAtThePromptAfterItsLine) {
  const std::string one(kCountPrompt), two = one + std::string(kIterationsPrompt);
  const std::string three = AllPrompts();
  ExpectStop({
      {"10abc", "10abc\n3\n0.01\n\n", 106, one},
      {"abc", "abc\n", 106, one},
      {"a real at the count", "1.5\n", 106, one},
      {"2147483648", "2147483648\n", 106, one},
      {"letters at the iterations", "3\nabc\n", 106, two},
      {"exponent without digits", "3\n2\n1e\n", 106, three},
      {"invalid token holding a huge number", "3\n2\n1e39x\n", 106, three},
      {"amplitude too large for a float", "3\n2\n1e39\n", 205, three},
      {"amplitude beyond the extended range", "3\n2\n1e4933\n", 205, three},
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

// Counts the search cannot work with end in the bounds check of the slots, before any
// report line.
TEST(SearchFailure, StopsBeforeTheReport) {
  const std::string three = AllPrompts();
  ExpectStop({
      {"no individual", "0\n1\n0.01\n\n", 201, three},
      {"one individual", "1\n1\n0.01\n\n", 201, three},
      {"21 individuals", "21\n1\n0.01\n\n", 201, three},
      {"21 individuals without steps", "21\n0\n0.01\n\n", 201, three},
      {"-1 individuals are 255", "-1\n0\n0.01\n\n", 201, three},
      {"no positive profit", "3\n1\n0.01\n\n", 201, three, Function::kBytes, ""},
      {"a mutation that zeroes every share", "3\n65535\n1e30\n\n", 207, three},
  });
}

TEST(ChannelFailure, StandardFilesThatCannotServe) {
  ExpectStop({
      {"standard input closed", kAnswers, 104, std::string(kCountPrompt), Function::kWorked, "",
       Stdin::kClosed},
      {"standard output closed", kAnswers, 105, std::nullopt, Function::kWorked, "", Stdin::kPipe,
       Stdout::kClosed},
      {"standard output full", kAnswers, kDiskFull, std::nullopt, Function::kWorked, "", Stdin::kPipe,
       Stdout::kDevFull},
      {"reader gone", kAnswers, kReaderGone, std::nullopt, Function::kWorked, "", Stdin::kPipe,
       Stdout::kPipeClosedByReader},
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
      {"Ctrl-C", SIGINT, 217},
      {"SIGTERM", SIGTERM, 0},
      {"SIGHUP", SIGHUP, 0},
      {"SIGQUIT", SIGQUIT, 0},
  };
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

}  // namespace
}  // namespace e2e
