// The dialogue at a terminal: every statement is on the screen as soon as it ends, so
// each prompt shows before its answer is typed, and the program waits for ENTER.
#include <gtest/gtest.h>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

constexpr int kScreenWaitMs = 10000;

// What a terminal that turns every LF into CR LF shows for these bytes.
std::string WithTerminalLineEnds(std::string_view bytes) {
  std::string shown;
  for (char c : bytes) {
    if (c == '\n') shown += '\r';
    shown += c;
  }
  return shown;
}

class Terminal : public ::testing::Test {
 protected:
  void SetUp() override {
    // Wine's console rewrites what is written to it (escape sequences, CR LF, tabs) and
    // does not take Ctrl-D as the end of input.
    if (UnderWine()) GTEST_SKIP() << "no byte-faithful terminal under Wine";
    ASSERT_TRUE(dir_.WriteFunction(WorkedTable()));
  }
  Workdir dir_;
};

TEST_F(Terminal, EachPromptShowsBeforeItsAnswerIsTyped) {
  Child child = Child::InTerminal(dir_, {.clock = 0}, /*raw=*/true);
  ASSERT_TRUE(child.Started());
  std::string screen(kCountPrompt);
  ASSERT_TRUE(child.ReadUntil(kCountPrompt, kScreenWaitMs));
  EXPECT_EQ(child.Out(), screen);

  // An empty line is skipped; the prompt is not written again.
  child.Send("\r");
  child.ReadFor(300);
  EXPECT_EQ(child.Out(), screen);

  child.Send("3\r");
  screen += kIterationsPrompt;
  ASSERT_TRUE(child.ReadUntil(kIterationsPrompt, kScreenWaitMs));
  EXPECT_EQ(child.Out(), screen);

  child.Send("2\r");
  screen += kAmplitudePrompt;
  ASSERT_TRUE(child.ReadUntil(kAmplitudePrompt, kScreenWaitMs));
  EXPECT_EQ(child.Out(), screen);

  child.Send("0.01\r");
  ASSERT_TRUE(child.ReadUntil("Press ENTER to exit.\r\n", kScreenWaitMs));
  EXPECT_EQ(child.Out(), WorkedRunAfterTwoSteps());

  EXPECT_FALSE(child.EndsWithin(400)) << "ended without ENTER";
  child.Send("\r");
  Outcome o = child.Finish();
  EXPECT_FALSE(o.timedOut);
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_EQ(o.out, WorkedRunAfterTwoSteps());
}

// A new terminal echoes what is typed and turns LF into CR LF, so the program's CR LF
// arrives as CR CR LF.
TEST_F(Terminal, ScreenUnderTheTerminalsOwnSettings) {
  Child child = Child::InTerminal(dir_, {.clock = 0}, /*raw=*/false);
  ASSERT_TRUE(child.Started());
  ASSERT_TRUE(child.ReadUntil(kCountPrompt, kScreenWaitMs));
  child.Send("3\r");
  ASSERT_TRUE(child.ReadUntil(kIterationsPrompt, kScreenWaitMs));
  child.Send("0\r");
  ASSERT_TRUE(child.ReadUntil(kAmplitudePrompt, kScreenWaitMs));
  child.Send("0.01\r");
  ASSERT_TRUE(child.ReadUntil("exit.\r\r\n", kScreenWaitMs));
  EXPECT_FALSE(child.EndsWithin(400)) << "ended without ENTER";
  child.Send("\r");
  Outcome o = child.Finish();
  EXPECT_FALSE(o.timedOut);
  EXPECT_EQ(o.exitCode, 0);

  const std::string report = WorkedRunAfterNoStep().substr(AllPrompts().size());
  const std::string expected =
      std::string(kCountPrompt) + "3\r\n" + std::string(kIterationsPrompt) + "0\r\n" +
      std::string(kAmplitudePrompt) + "0.01\r\n" + WithTerminalLineEnds(report);
  // The echo of the last ENTER may or may not reach the screen before the terminal closes.
  EXPECT_TRUE(o.out == expected || o.out == expected + "\r\n") << ::testing::PrintToString(o.out);
}

TEST_F(Terminal, InvalidAnswerShowsTheReport) {
  Child child = Child::InTerminal(dir_, {.clock = 0}, /*raw=*/true);
  ASSERT_TRUE(child.Started());
  ASSERT_TRUE(child.ReadUntil(kCountPrompt, kScreenWaitMs));
  child.Send("10abc\r");
  Outcome o = child.Finish();
  EXPECT_FALSE(o.timedOut);
  EXPECT_EQ(o.exitCode, 106);
  // Standard error is the same terminal: its line follows the report.
  EXPECT_TRUE(EndsWithReport(o.out, kCountPrompt, 106,
                             "allocate: answer to question 1 (number of individuals): \"10abc\" "
                             "is not an integer from -2147483648 to 2147483647\n"));
}

// Ctrl-C makes the terminal interrupt the program, which stops with its own report.
TEST_F(Terminal, InterruptAtAPromptStopsWith217) {
  if (UnderWasm()) GTEST_SKIP() << "no signals reach a WASI command";
  Child child = Child::InTerminal(dir_, {.clock = 0}, /*raw=*/false);
  ASSERT_TRUE(child.Started());
  ASSERT_TRUE(child.ReadUntil(kCountPrompt, kScreenWaitMs));
  child.Send("\x03");
  Outcome o = child.Finish();
  EXPECT_FALSE(o.timedOut);
  EXPECT_EQ(o.exitCode, 217);
  EXPECT_TRUE(o.out.starts_with(kCountPrompt));
  EXPECT_NE(o.out.find("Runtime error 217 at "), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("allocate: interrupted at question 1 (number of individuals)\r\n"),
            std::string::npos)
      << o.out;
}

// Ctrl-D on an empty line is the end of input: every later read gives 0 and the final
// wait returns at once.
TEST_F(Terminal, EndOfInputTypedAtTheFirstPrompt) {
  Child child = Child::InTerminal(dir_, {}, /*raw=*/true);
  ASSERT_TRUE(child.Started());
  ASSERT_TRUE(child.ReadUntil(kCountPrompt, kScreenWaitMs));
  child.Send("\x04");
  Outcome o = child.Finish();
  EXPECT_FALSE(o.timedOut);
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_EQ(o.out, EmptyRun());
}

}  // namespace
}  // namespace e2e
