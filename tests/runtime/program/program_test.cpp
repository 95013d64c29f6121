#include "runtime/program/program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "child_run.h"
#include "extended_values.h"
#include "runtime/arith/extended.h"
#include "runtime/core/checked.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/platform/platform.h"
#include "runtime/program/report_line.h"
#include "runtime/stream/text_output.h"

extern "C" const char __executable_start[];

namespace {

using namespace std::string_literals;

TEST(ReportLine, CodeRightAlignedAddressInEightUpperCaseHexDigits) {
  struct Row {
    uint8_t code;
    uint32_t address;
    std::string text;
  } rows[] = {
      {106, 0x000ABCDE, "Runtime error 106 at 000ABCDE"},
      {32, 0x000ABCDE, "Runtime error  32 at 000ABCDE"},
      {2, 0x000ABCDE, "Runtime error   2 at 000ABCDE"},
      {0, 1, "Runtime error   0 at 00000001"},
      {255, 0xFFFFFFFF, "Runtime error 255 at FFFFFFFF"},
  };
  for (const Row& row : rows) {
    ReportLine report;
    FormatReport(row.code, row.address, report);
    EXPECT_EQ(std::string(report.Range(0, 30), 30), row.text + '\0') << row.text;
  }
}

TEST(FailureStatus, NeverZero) {
  EXPECT_EQ(FailureStatus(106), 106);
  EXPECT_EQ(FailureStatus(267), 11);
  EXPECT_EQ(FailureStatus(256), 255);
  EXPECT_EQ(FailureStatus(512), 255);
}

TEST(PlatformCodeAddress, RelativeToTheImageAndNeverZero) {
  EXPECT_EQ(PlatformCodeAddress(__executable_start + 0x1234), 0x1234u);
  EXPECT_EQ(PlatformCodeAddress(__executable_start), 1u);
}

// Without an end sequence registered (a program that skipped start-up) a stop still ends
// the process with its code, writing nothing.
TEST(StopDeathTest, WithoutAnEndSequenceAStopJustExits) {
  ChildResult result = RunInChild([] {
    SetEndSequence(nullptr);
    WriteText("pending");
    RangeCheckFailed();
  });
  EXPECT_EQ(result.status, 201);
  EXPECT_EQ(result.output, "");
}

TEST(StopDeathTest, TruncationInRangeGoesOn) {
  EXPECT_EQ(TruncateToByte(-XFields(false, 0x3FFE, 0xFFBE76C8B4395810)), 0);
  EXPECT_EQ(TruncateToByte(X(0.0)), 0);
  EXPECT_EQ(TruncateToByte(XFields(false, 0x4002, 0x9FFBE76C8B439581)), 9);
  EXPECT_EQ(TruncateToByte(X(255.5)), 255);
}

TEST(StopDeathTest, AddressIsStableFromRunToRun) {
  auto body = [] { RangeCheckFailed(); };
  ChildResult first = RunInChild(body);
  ChildResult second = RunInChild(body);
  ASSERT_TRUE(IsReport(first.output, 201));
  EXPECT_EQ(first.output, second.output);
  ChildResult other = RunInChild([] {
    gPendingIOCode = 106;
    CheckIOResult();
  });
  EXPECT_NE(first.output.substr(21, 8), other.output.substr(21, 8));
}

TEST(StopDeathTest, PendingOutputComesBeforeTheReport) {
  ChildResult result = RunInChild([] {
    WriteText("before");
    FlushOutput();  // a pipe: still pending
    ToFloat(Opaque(XFields(false, 0x4080, 0xBC143FA4E250EB31)));
    WriteText("after");
    FlushOutput();
    EndProgram();
  });
  EXPECT_EQ(result.status, 205);
  ASSERT_EQ(result.output.substr(0, 6), "before");
  EXPECT_TRUE(IsReport(result.output.substr(6), 205));
}

TEST(StopDeathTest, FaultJustBeforeTheNormalEndIsNotLost) {
  ChildResult result = RunInChild([] {
    ToFloat(Opaque(-XFields(false, 0x4080, 0xBC143FA4E250EB31)));
    EndProgram();
  });
  EXPECT_EQ(result.status, 205);
}

TEST(NormalEndDeathTest, WritesOnlyPendingOutputAndExitsZero) {
  ChildResult result = RunInChild([] {
    WriteText("pending");
    FlushOutput();
    EndProgram();
  });
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "pending");
}

// A run that ends with a status of its own (a bad command line) writes what is pending
// and no report line.
TEST(NormalEndDeathTest, EndRunWithStatusWritesPendingOutputAndNoReport) {
  for (int32_t status : {64, 1, 255}) {
    ChildResult result = RunInChild([status] {
      WriteText("pending");
      EndRunWithStatus(status);
    });
    EXPECT_EQ(result.status, status);
    EXPECT_EQ(result.output, "pending");
  }
}

// Runs body with standard output on /dev/full; the exit status is returned.
int RunOnFullDevice(const std::function<void()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    int full = open("/dev/full", O_WRONLY);
    dup2(full, 1);
    MarkOutputClosed();
    gPendingIOCode = 0;
    body();
    _exit(99);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(NormalEndDeathTest, OutputLostAtTheEndIsNotSuccess) {
  // /dev/full is a character device, so each statement is written at once.
  EXPECT_EQ(RunOnFullDevice([] {
              WriteText("lost");
              EndProgram();
            }),
            28);
  EXPECT_EQ(RunOnFullDevice([] {
              WriteText("lost");
              WriteLineEnd();
              CheckIOResult();
              EndProgram();
            }),
            28);
}

}  // namespace
