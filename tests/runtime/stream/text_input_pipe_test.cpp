#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "extended_values.h"
#include "number_answers.h"
#include "runtime/arith/extended.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/stream/text_input.h"

// Answers typed at the prompts, read from a real pipe standing in for descriptor 0, each
// the way the dialogue reads it: the number, then the rest of its line, then the check.

namespace {

class TextInputPipe : public testing::Test {
 protected:
  void SetUp() override { savedInput_ = dup(STDIN_FILENO); }
  void TearDown() override {
    dup2(savedInput_, STDIN_FILENO);
    close(savedInput_);
    MarkStandardInputClosed();
    gPendingIOCode = 0;
  }
  // Descriptor 0 becomes a pipe holding these bytes and then its end.
  void Type(const std::string& bytes) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(ends[1]);
    dup2(ends[0], STDIN_FILENO);
    close(ends[0]);
    MarkStandardInputClosed();
    gPendingIOCode = 0;
  }

 private:
  int savedInput_ = -1;
};

// For death tests: the report line of the stop should not clutter the test output.
void SilenceStandardOutput() {
  int null = open("/dev/null", O_WRONLY);
  dup2(null, STDOUT_FILENO);
  close(null);
}

TEST_F(TextInputPipe, IntegerAnswers) {
  for (const auto& row : kIntegerAnswers) {
    SCOPED_TRACE(row.answer);
    Type(std::string(row.answer) + "\r\n42\r\n");
    int32_t value = ReadInteger(gStandardInput);
    SkipLine(gStandardInput);
    EXPECT_EQ(gPendingIOCode, row.ok ? 0 : 106);
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(ReadInteger(gStandardInput), 42);  // the rest of the answer line is gone
  }
}

TEST_F(TextInputPipe, RealAnswers) {
  for (const auto& row : kRealAnswers) {
    SCOPED_TRACE(row.answer);
    Type(std::string(row.answer) + "\r\n42\r\n");
    Extended value = ReadReal(gStandardInput);
    SkipLine(gStandardInput);
    EXPECT_EQ(gPendingIOCode, row.ok ? 0 : 106);
    EXPECT_EQ(Bits(value), Bits(row.value));  // an invalid answer reads as 0.0
    EXPECT_EQ(ReadInteger(gStandardInput), 42);
  }
}

TEST_F(TextInputPipe, EmptyLinesBeforeAnAnswerAreSeparators) {
  Type("\r\n\r\n\n  \t7\r\n");
  EXPECT_EQ(ReadInteger(gStandardInput), 7);
  SkipLine(gStandardInput);
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextInputPipe, ThreeAnswersOnOneLine) {
  // The first SkipLine takes the other two; the later reads meet the end.
  Type("10 20 0.5\r\n");
  EXPECT_EQ(ReadInteger(gStandardInput), 10);
  SkipLine(gStandardInput);
  EXPECT_EQ(ReadInteger(gStandardInput), 0);
  SkipLine(gStandardInput);
  EXPECT_EQ(Bits(ReadReal(gStandardInput)), Bits(X(0.0)));
  SkipLine(gStandardInput);
  SkipLine(gStandardInput);
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextInputPipe, FortyNinesFollowedByXReadAsZero) {
  Type(std::string(40, '9') + "x\r\n");
  Extended value = ReadReal(gStandardInput);
  EXPECT_EQ(Bits(value), Bits(X(0.0)));
  EXPECT_EQ(gPendingIOCode, 106);
}

using TextInputPipeDeathTest = TextInputPipe;

TEST_F(TextInputPipeDeathTest, AnInvalidRealStopsWith106NotWithAFloatOverflow) {
  Type(std::string(40, '9') + "x\r\n");
  EXPECT_EXIT(
      {
        SilenceStandardOutput();
        float amplitude = ToFloat(ReadReal(gStandardInput));
        SkipLine(gStandardInput);
        CheckIOResult();
        (void)amplitude;
      },
      testing::ExitedWithCode(106), "");
}

TEST_F(TextInputPipeDeathTest, FloatingPointOverflowStops) {
  Type("1e4933\r\n");
  EXPECT_EXIT(
      {
        SilenceStandardOutput();
        ReadReal(gStandardInput);
      },
      testing::ExitedWithCode(205), "");
  Type("1e39\r\n");
  EXPECT_EXIT(
      {
        SilenceStandardOutput();
        ToFloat(ReadReal(gStandardInput));
      },
      testing::ExitedWithCode(205), "");
}

TEST_F(TextInputPipeDeathTest, AClosedStandardInputReadsWith104) {
  EXPECT_EXIT(
      {
        close(STDIN_FILENO);
        MarkStandardInputClosed();
        gPendingIOCode = 0;
        int32_t value = ReadInteger(gStandardInput);
        _exit(value == 0 && gStandardInput.state == InputState::kClosed ? gPendingIOCode : 1);
      },
      testing::ExitedWithCode(104), "");
}

}  // namespace
