#include "runtime/stream/text_output.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "extended_values.h"
#include "fake_platform.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"

namespace {

class TextOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    fake_.reset();
    fake_.emplace();
    MarkOutputClosed();
    gPendingIOCode = 0;
  }
  void TearDown() override {
    fake_.reset();
    MarkOutputClosed();
    gPendingIOCode = 0;
  }

  FakePlatform& Fake() { return *fake_; }
  std::string Written() { return fake_->Written(); }
  std::vector<size_t> WriteSizes() {
    std::vector<size_t> sizes;
    for (const auto& piece : fake_->writes) sizes.push_back(piece.size());
    return sizes;
  }

 private:
  std::optional<FakePlatform> fake_;
};

std::string Blanks(size_t count) { return std::string(count, ' '); }

struct PaddingRow {
  const char* label;
  std::function<void()> write;
  std::string expected;
};

TEST_F(TextOutputTest, PadsOnTheLeftAndNeverCuts) {
  const Extended nan = kXNaN;
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
      {"real", [] { WriteReal(X(41.25), 7, 3); }, " 41.250"},
      {"real wider than its field", [] { WriteReal(Extended(1234.5678f), 7, 3); }, "1234.568"},
      {"real, negative width", [] { WriteReal(X(0.125), -3, 3); }, "0.125"},
      {"real above 255", [] { WriteReal(X(1.0), 300, 3); }, Blanks(295) + "1.000"},
      {"exponent form above 255", [] { WriteReal(X(1234.5), 300, -1); },
       Blanks(274) + " 1.23450000000000000E+0003"},
      {"NaN", [nan] { WriteReal(nan, 7, 3); }, "    Nan"},
      {"NaN above 255", [nan] { WriteReal(nan, 260, 3); }, Blanks(257) + "Nan"},
      {"char has no width",
       [] {
         WriteReal(Extended(123.456f), 5, 3);
         WriteChar(' ');
       },
       "123.456 "},
  };
  for (const auto& row : rows) {
    SetUp();
    row.write();
    EXPECT_EQ(CloseOutput(), 0) << row.label;
    EXPECT_EQ(Written(), row.expected) << row.label;
    EXPECT_EQ(gPendingIOCode, 0) << row.label;
  }
}

TEST_F(TextOutputTest, ReportLineShapes) {
  Fake().console = true;
  WriteText("H:");
  WriteInteger(3);
  WriteText(" F:");
  WriteReal(Extended(12.5f), 7, 3);
  WriteText(" W:");
  FlushOutput();
  WriteReal(Extended(0.125f), 5, 3);
  WriteChar(' ');
  FlushOutput();
  WriteLineEnd();
  WriteText("  Maximum profit: ");
  WriteReal(Extended(412.75f), 7, 3);
  WriteLineEnd();
  EXPECT_EQ(Fake().writes, (std::vector<std::string>{"H:3 F: 12.500 W:", "0.125 ", "\r\n",
                                                     "  Maximum profit: 412.750\r\n"}));
}

TEST_F(TextOutputTest, BytesThatFillTheBufferGoOutAtOnce) {
  WriteText(std::string(127, 'a'));
  EXPECT_TRUE(Fake().writes.empty());
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
    bool console;
    std::function<void()> next;
    std::vector<size_t> sizes;
    uint32_t position;
  };
  const Row rows[] = {
      {"next char", false, [] { WriteChar('c'); }, {128}, 1},
      {"next text", false, [] { WriteText("de"); }, {128}, 2},
      {"empty text", false, [] { WriteText(""); }, {128}, 0},
      {"flush on a file", false, [] { FlushOutput(); }, {}, 128},
      {"flush on the console", true, [] { FlushOutput(); }, {128}, 0},
      {"close", false, [] { CloseOutput(); }, {128}, 0},
  };
  for (const auto& row : rows) {
    SetUp();
    Fake().console = row.console;
    WriteText(std::string(127, 'a'));
    WriteChar('b');
    EXPECT_EQ(gTextOutput.position, 128u) << row.label;
    EXPECT_TRUE(Fake().writes.empty()) << row.label;
    row.next();
    EXPECT_EQ(WriteSizes(), row.sizes) << row.label;
    EXPECT_EQ(gTextOutput.position, row.position) << row.label;
    if (!row.sizes.empty()) {
      EXPECT_EQ(Fake().writes[0], std::string(127, 'a') + "b") << row.label;
    }
  }
}

TEST_F(TextOutputTest, OnlyTheConsoleFlushesEachStatement) {
  for (bool console : {true, false}) {
    SetUp();
    Fake().console = console;
    WriteText("Number of individuals: ");
    FlushOutput();
    WriteText("Press ENTER to exit.");
    WriteLineEnd();
    EXPECT_EQ(gTextOutput.flushEachStatement, console) << console;
    if (console) {
      EXPECT_EQ(Fake().writes,
                (std::vector<std::string>{"Number of individuals: ", "Press ENTER to exit.\r\n"}));
    } else {
      EXPECT_TRUE(Fake().writes.empty()) << console;
      CloseOutput();
      EXPECT_EQ(Fake().writes,
                std::vector<std::string>{"Number of individuals: Press ENTER to exit.\r\n"});
    }
    EXPECT_EQ(Fake().outputChecks, 1) << console;
  }
}

TEST_F(TextOutputTest, ConsoleStatementLongerThanTheBuffer) {
  Fake().console = true;
  WriteText(std::string(200, 'x'));
  EXPECT_EQ(WriteSizes(), std::vector<size_t>{128});
  FlushOutput();
  EXPECT_EQ(WriteSizes(), (std::vector<size_t>{128, 72}));
}

TEST_F(TextOutputTest, FailedWriteStoresErrnoAndDropsTheRest) {
  Fake().writeError = ENOSPC;
  WriteText(std::string(200, 'a'));
  EXPECT_EQ(Fake().writeCalls, 1);  // the 72 bytes behind the failed block are dropped
  EXPECT_EQ(gPendingIOCode, ENOSPC);
  EXPECT_EQ(gTextOutput.position, 0u);

  // Later writes of the statement still run; the last failure's code wins.
  Fake().writeError = 0;
  WriteText("ok");
  EXPECT_EQ(gTextOutput.position, 2u);
  Fake().writeError = EPIPE;
  EXPECT_EQ(CloseOutput(), EPIPE);
  EXPECT_EQ(gPendingIOCode, EPIPE);
  EXPECT_TRUE(Fake().writes.empty());
}

TEST_F(TextOutputTest, FailedWriteAtTheEndOfAStatementDiscardsThePendingBytes) {
  Fake().console = true;
  Fake().writeError = EIO;
  WriteText("abc");
  WriteLineEnd();
  EXPECT_EQ(gPendingIOCode, EIO);
  EXPECT_EQ(gTextOutput.position, 0u);
  Fake().writeError = 0;
  FlushOutput();
  EXPECT_EQ(Fake().writeCalls, 1);  // nothing left to retry
}

TEST_F(TextOutputTest, CharIsDroppedWhenWritingOutAFullBufferFails) {
  WriteText(std::string(127, 'a'));
  WriteChar('b');
  Fake().writeError = ENOSPC;
  WriteChar('c');
  EXPECT_EQ(gPendingIOCode, ENOSPC);
  EXPECT_EQ(gTextOutput.position, 0u);
}

TEST_F(TextOutputTest, PendingErrorEndsTheBlankFillAfterAFullPiece) {
  // 299 blanks would take two full buffers; the failure of the first stops the fill.
  Fake().writeError = ENOSPC;
  WriteText("x", 300);
  EXPECT_EQ(Fake().writeCalls, 1);
  EXPECT_EQ(gTextOutput.position, 1u);
  EXPECT_EQ(gTextOutput.buffer[0], 'x');

  // An error already pending stops it after the first piece.
  SetUp();
  gPendingIOCode = 106;
  WriteText("x", 200);
  EXPECT_EQ(gTextOutput.position, 65u);
  EXPECT_EQ(gPendingIOCode, 106);
}

TEST_F(TextOutputTest, UnopenableStreamGives105AndRetriesOnTheNextWrite) {
  Fake().consoleCheckError = EBADF;
  const std::function<void()> writes[] = {
      [] { WriteText("a"); }, [] { WriteText("a", 300); },     [] { WriteInteger(1, 5); },
      [] { WriteChar('c'); }, [] { WriteReal(X(1.0), 5, 3); }, [] { WriteLineEnd(); },
  };
  int attempts = 0;
  for (const auto& write : writes) {
    gPendingIOCode = 0;
    write();
    ++attempts;
    EXPECT_EQ(gPendingIOCode, 105) << attempts;
    EXPECT_EQ(Fake().outputChecks, attempts);
    EXPECT_FALSE(gTextOutput.open);
  }
  FlushOutput();
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(Fake().writeCalls, 0);

  Fake().consoleCheckError = 0;
  gPendingIOCode = 0;
  WriteText("b");
  EXPECT_TRUE(gTextOutput.open);
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(Written(), "b");
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextOutputTest, NoStandardOutputHandleGives105) {
  Fake().standardOutputError = 6;  // a Windows process started without one
  WriteText("a");
  EXPECT_EQ(gPendingIOCode, 105);
  EXPECT_FALSE(gTextOutput.open);
  EXPECT_EQ(Fake().outputChecks, 0);
}

TEST_F(TextOutputTest, CloseWritesWhatIsPendingOnce) {
  EXPECT_EQ(CloseOutput(), 0);  // never opened: nothing to do
  EXPECT_EQ(Fake().writeCalls, 0);
  WriteText("tail");
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(CloseOutput(), 0);
  EXPECT_EQ(Fake().writes, std::vector<std::string>{"tail"});
  EXPECT_EQ(WriteOutBuffer(), 0);
  EXPECT_EQ(Fake().writeCalls, 1);
}

}  // namespace
