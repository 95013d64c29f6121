#include "runtime/text_output.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/platform.h"

namespace {

// Standard output as the tests see it: every write call, what went out, and what the
// next calls are told to do.
struct FakeStandardOutput {
  mode_t mode = S_IFREG;
  int fstatError = 0;  // non-zero: fstat fails with it
  int fstatCalls = 0;
  int writeCalls = 0;
  int writeError = 0;               // non-zero: every write fails with it
  std::deque<ssize_t> script;       // per call: -errno fails once, n > 0 writes at most n bytes
  std::vector<std::string> writes;  // bytes of each call that wrote something
};

FakeStandardOutput fake;

ssize_t FakeWrite(int fd, const void* data, size_t count) {
  ++fake.writeCalls;
  EXPECT_EQ(fd, STDOUT_FILENO);
  if (!fake.script.empty()) {
    ssize_t step = fake.script.front();
    fake.script.pop_front();
    if (step < 0) {
      errno = static_cast<int>(-step);
      return -1;
    }
    if (static_cast<size_t>(step) < count) count = static_cast<size_t>(step);
  }
  if (fake.writeError != 0) {
    errno = fake.writeError;
    return -1;
  }
  fake.writes.emplace_back(static_cast<const char*>(data), count);
  return static_cast<ssize_t>(count);
}

int FakeFstat(int fd, struct stat* info) {
  ++fake.fstatCalls;
  EXPECT_EQ(fd, STDOUT_FILENO);
  if (fake.fstatError != 0) {
    errno = fake.fstatError;
    return -1;
  }
  std::memset(info, 0, sizeof *info);
  info->st_mode = fake.mode | 0600;
  return 0;
}

class TextOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    fake = FakeStandardOutput{};
    MarkOutputClosed();
    gInOutRes = 0;
    gPlatform.write = FakeWrite;
    gPlatform.fstat = FakeFstat;
  }
  void TearDown() override {
    gPlatform = kRealPlatform;
    MarkOutputClosed();
    gInOutRes = 0;
  }

  static std::string Written() {
    std::string all;
    for (const auto& piece : fake.writes) all += piece;
    return all;
  }
  static std::vector<size_t> WriteSizes() {
    std::vector<size_t> sizes;
    for (const auto& piece : fake.writes) sizes.push_back(piece.size());
    return sizes;
  }
};

std::string Blanks(size_t count) { return std::string(count, ' '); }

struct PaddingRow {
  const char* label;
  std::function<void()> write;
  std::string expected;
};

TEST_F(TextOutputTest, PadsOnTheLeftAndNeverCuts) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const PaddingRow rows[] = {
      {"width 0", [] { WriteText("ab", 0); }, "ab"},
      {"negative width", [] { WriteText("ab", -5); }, "ab"},
      {"most negative width", [] { WriteText("ab", -2147483647 - 1); }, "ab"},
      {"width below the length", [] { WriteText("abc", 1); }, "abc"},
      {"short fill", [] { WriteText("ab", 3); }, " ab"},
      {"one full piece", [] { WriteText("ab", 66); }, Blanks(64) + "ab"},
      {"above 64", [] { WriteText("ab", 70); }, Blanks(68) + "ab"},
      {"above the buffer", [] { WriteText("ab", 130); }, Blanks(128) + "ab"},
      {"above 255", [] { WriteText("ab", 300); }, Blanks(298) + "ab"},
      {"empty text", [] { WriteText("", 5); }, Blanks(5)},
      {"integer", [] { WriteInteger(-7, 3); }, " -7"},
      {"integer without width", [] { WriteInteger(20); }, "20"},
      {"most negative integer", [] { WriteInteger(-2147483647 - 1, 5); }, "-2147483648"},
      {"integer above 255", [] { WriteInteger(5, 256); }, Blanks(255) + "5"},
      {"real", [] { WriteReal(41.25L, 7, 3); }, " 41.250"},
      {"real wider than its field", [] { WriteReal(1234.5678f, 7, 3); }, "1234.568"},
      {"real, negative width", [] { WriteReal(0.125L, -3, 3); }, "0.125"},
      {"real above 255", [] { WriteReal(1.0L, 300, 3); }, Blanks(295) + "1.000"},
      {"exponent form above 255", [] { WriteReal(1234.5L, 300, -1); },
       Blanks(274) + " 1.23450000000000000E+0003"},
      {"NaN", [nan] { WriteReal(nan, 7, 3); }, "    Nan"},
      {"NaN above 255", [nan] { WriteReal(nan, 260, 3); }, Blanks(257) + "Nan"},
      {"char has no width",
       [] {
         WriteReal(123.456f, 5, 3);
         WriteChar(' ');
       },
       "123.456 "},
  };
  for (const auto& row : rows) {
    SetUp();
    row.write();
    EXPECT_EQ(CloseOutput(), 0) << row.label;
    EXPECT_EQ(Written(), row.expected) << row.label;
    EXPECT_EQ(gInOutRes, 0) << row.label;
  }
}

TEST_F(TextOutputTest, ReportLineShapes) {
  fake.mode = S_IFCHR;
  WriteText("H:");
  WriteInteger(3);
  WriteText(" F:");
  WriteReal(12.5f, 7, 3);
  WriteText(" W:");
  FlushOutput();
  WriteReal(0.125f, 5, 3);
  WriteChar(' ');
  FlushOutput();
  WriteLineEnd();
  WriteText("  Maximum profit: ");
  WriteReal(412.75f, 7, 3);
  WriteLineEnd();
  EXPECT_EQ(fake.writes, (std::vector<std::string>{"H:3 F: 12.500 W:", "0.125 ", "\r\n",
                                                   "  Maximum profit: 412.750\r\n"}));
}

TEST_F(TextOutputTest, BytesThatFillTheBufferGoOutAtOnce) {
  WriteText(std::string(127, 'a'));
  EXPECT_TRUE(fake.writes.empty());
  WriteText("b");
  EXPECT_EQ(WriteSizes(), std::vector<size_t>{128});
  EXPECT_EQ(gTextOutput.position, 0u);

  WriteText(std::string(300, 'c'));
  EXPECT_EQ(WriteSizes(), (std::vector<size_t>{128, 128, 128}));
  EXPECT_EQ(gTextOutput.position, 44u);
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(WriteSizes(), (std::vector<size_t>{128, 128, 128, 44}));
  EXPECT_EQ(Written(), std::string(127, 'a') + "b" + std::string(300, 'c'));
}

TEST_F(TextOutputTest, WriteCharMayLeaveTheBufferFull) {
  // Each row fills the buffer with WriteChar, then runs the next operation.
  struct Row {
    const char* label;
    mode_t mode;
    std::function<void()> next;
    std::vector<size_t> sizes;
    uint32_t position;
  };
  const Row rows[] = {
      {"next char", S_IFREG, [] { WriteChar('c'); }, {128}, 1},
      {"next text", S_IFREG, [] { WriteText("de"); }, {128}, 2},
      {"empty text", S_IFREG, [] { WriteText(""); }, {128}, 0},
      {"flush on a file", S_IFREG, [] { FlushOutput(); }, {}, 128},
      {"flush on the console", S_IFCHR, [] { FlushOutput(); }, {128}, 0},
      {"close", S_IFREG, [] { CloseOutput(); }, {128}, 0},
  };
  for (const auto& row : rows) {
    SetUp();
    fake.mode = row.mode;
    WriteText(std::string(127, 'a'));
    WriteChar('b');
    EXPECT_EQ(gTextOutput.position, 128u) << row.label;
    EXPECT_TRUE(fake.writes.empty()) << row.label;
    row.next();
    EXPECT_EQ(WriteSizes(), row.sizes) << row.label;
    EXPECT_EQ(gTextOutput.position, row.position) << row.label;
    if (!row.sizes.empty()) {
      EXPECT_EQ(fake.writes[0], std::string(127, 'a') + "b") << row.label;
    }
  }
}

TEST_F(TextOutputTest, OnlyTheConsoleFlushesEachStatement) {
  struct Row {
    mode_t mode;
    bool console;
  };
  for (Row row :
       {Row{S_IFCHR, true}, Row{S_IFREG, false}, Row{S_IFIFO, false}, Row{S_IFSOCK, false}}) {
    SetUp();
    fake.mode = row.mode;
    WriteText("Number of individuals: ");
    FlushOutput();
    WriteText("Press ENTER to exit.");
    WriteLineEnd();
    EXPECT_EQ(gTextOutput.flushEachStatement, row.console) << row.mode;
    if (row.console) {
      EXPECT_EQ(fake.writes,
                (std::vector<std::string>{"Number of individuals: ", "Press ENTER to exit.\r\n"}));
    } else {
      EXPECT_TRUE(fake.writes.empty()) << row.mode;
      CloseOutput();
      EXPECT_EQ(fake.writes,
                std::vector<std::string>{"Number of individuals: Press ENTER to exit.\r\n"});
    }
    EXPECT_EQ(fake.fstatCalls, 1) << row.mode;
  }
}

TEST_F(TextOutputTest, ConsoleStatementLongerThanTheBuffer) {
  fake.mode = S_IFCHR;
  WriteText(std::string(200, 'x'));
  EXPECT_EQ(WriteSizes(), std::vector<size_t>{128});
  FlushOutput();
  EXPECT_EQ(WriteSizes(), (std::vector<size_t>{128, 72}));
}

TEST_F(TextOutputTest, FailedWriteStoresErrnoAndDropsTheRest) {
  fake.writeError = ENOSPC;
  WriteText(std::string(200, 'a'));
  EXPECT_EQ(fake.writeCalls, 1);  // the 72 bytes behind the failed block are dropped
  EXPECT_EQ(gInOutRes, ENOSPC);
  EXPECT_EQ(gTextOutput.position, 0u);

  // Later writes of the statement still run; the last failure's code wins.
  fake.writeError = 0;
  WriteText("ok");
  EXPECT_EQ(gTextOutput.position, 2u);
  fake.writeError = EPIPE;
  EXPECT_EQ(CloseOutput(), EPIPE);
  EXPECT_EQ(gInOutRes, EPIPE);
  EXPECT_TRUE(fake.writes.empty());
}

TEST_F(TextOutputTest, FailedWriteAtTheEndOfAStatementDiscardsThePendingBytes) {
  fake.mode = S_IFCHR;
  fake.writeError = EIO;
  WriteText("abc");
  WriteLineEnd();
  EXPECT_EQ(gInOutRes, EIO);
  EXPECT_EQ(gTextOutput.position, 0u);
  fake.writeError = 0;
  FlushOutput();
  EXPECT_EQ(fake.writeCalls, 1);  // nothing left to retry
}

TEST_F(TextOutputTest, CharIsDroppedWhenWritingOutAFullBufferFails) {
  WriteText(std::string(127, 'a'));
  WriteChar('b');
  fake.writeError = ENOSPC;
  WriteChar('c');
  EXPECT_EQ(gInOutRes, ENOSPC);
  EXPECT_EQ(gTextOutput.position, 0u);
}

TEST_F(TextOutputTest, PendingErrorEndsTheBlankFillAfterAFullPiece) {
  // 299 blanks would take two full buffers; the failure of the first stops the fill.
  fake.writeError = ENOSPC;
  WriteText("x", 300);
  EXPECT_EQ(fake.writeCalls, 1);
  EXPECT_EQ(gTextOutput.position, 1u);
  EXPECT_EQ(gTextOutput.buffer[0], 'x');

  // An error already pending stops it after the first piece.
  SetUp();
  gInOutRes = 106;
  WriteText("x", 200);
  EXPECT_EQ(gTextOutput.position, 65u);
  EXPECT_EQ(gInOutRes, 106);
}

TEST_F(TextOutputTest, InterruptedAndPartialWritesAreRetried) {
  fake.mode = S_IFCHR;
  fake.script = {-EINTR, 5, -EINTR, 3};
  WriteText("hello world");
  FlushOutput();
  EXPECT_EQ(fake.writes, (std::vector<std::string>{"hello", " wo", "rld"}));
  EXPECT_EQ(fake.writeCalls, 5);
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(TextOutputTest, UnopenableStreamGives105AndRetriesOnTheNextWrite) {
  fake.fstatError = EBADF;
  const std::function<void()> writes[] = {
      [] { WriteText("a"); }, [] { WriteText("a", 300); },   [] { WriteInteger(1, 5); },
      [] { WriteChar('c'); }, [] { WriteReal(1.0L, 5, 3); }, [] { WriteLineEnd(); },
  };
  int attempts = 0;
  for (const auto& write : writes) {
    gInOutRes = 0;
    write();
    ++attempts;
    EXPECT_EQ(gInOutRes, 105) << attempts;
    EXPECT_EQ(fake.fstatCalls, attempts);
    EXPECT_FALSE(gTextOutput.open);
  }
  FlushOutput();
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(fake.writeCalls, 0);

  fake.fstatError = 0;
  gInOutRes = 0;
  WriteText("b");
  EXPECT_TRUE(gTextOutput.open);
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(Written(), "b");
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(TextOutputTest, CloseWritesWhatIsPendingOnce) {
  EXPECT_EQ(CloseOutput(), 0);  // never opened: nothing to do
  EXPECT_EQ(fake.writeCalls, 0);
  WriteText("tail");
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(fake.writes, std::vector<std::string>{"tail"});
  EXPECT_EQ(WriteOutBuffer(), 0);
  EXPECT_EQ(fake.writeCalls, 1);
}

}  // namespace
