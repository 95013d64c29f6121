#include "runtime/stream/text_input.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "extended_values.h"
#include "fake_platform.h"
#include "number_answers.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/platform/platform.h"

// The reading machinery over the fake device: each read delivers the next chunk (or fails
// with the chunk's code) and is counted; after the last chunk every read gives 0 bytes.
// An empty chunk is one read that delivers nothing, which is the end of the input.

namespace {

class TextInputDevice : public testing::Test {
 protected:
  void SetUp() override {
    fake_.reset();
    fake_.emplace();
    gPendingIOCode = 0;
    MarkStandardInputClosed();
  }
  void TearDown() override {
    fake_.reset();
    MarkStandardInputClosed();
    gPendingIOCode = 0;
  }
  void Deliver(std::deque<FakeChunk> chunks) { fake_->input = std::move(chunks); }
  FakePlatform& Fake() { return *fake_; }

 private:
  std::optional<FakePlatform> fake_;
};

std::string Blanks(size_t count) { return std::string(count, ' '); }

TEST_F(TextInputDevice, StandardInputOpensOnItsFirstReadOnly) {
  Deliver({{"1 2 3"}});
  EXPECT_EQ(gStandardInput.state, InputState::kClosed);
  EXPECT_EQ(ReadInteger(gStandardInput), 1);
  EXPECT_EQ(gStandardInput.state, InputState::kOpen);
  EXPECT_EQ(gStandardInput.handle, 0);
  EXPECT_EQ(ReadInteger(gStandardInput), 2);
  EXPECT_EQ(ReadInteger(gStandardInput), 3);
  EXPECT_EQ(Fake().inputChecks, 1);
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextInputDevice, TokensStraddleBlocks) {
  Deliver({{Blanks(126) + "12"}, {"34 " + Blanks(123) + "1."}, {"5e1\n"}});
  EXPECT_EQ(ReadInteger(gStandardInput), 1234);
  EXPECT_EQ(ReadReal(gStandardInput), X(15.0));
  EXPECT_EQ(Fake().reads, 3);
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextInputDevice, CrLfSplitAcrossBlocksEndsOneLine) {
  Deliver({{Blanks(126) + "5\r"}, {"\n7\r\n"}});
  EXPECT_EQ(ReadInteger(gStandardInput), 5);
  EXPECT_EQ(Fake().reads, 1);
  SkipLine(gStandardInput);
  EXPECT_EQ(Fake().reads, 2);
  EXPECT_EQ(ReadByte(gStandardInput), '7');
}

TEST_F(TextInputDevice, ShortReadsAreNormal) {
  Deliver({{"1"}, {"2"}, {"3"}, {"\n"}});
  EXPECT_EQ(ReadInteger(gStandardInput), 123);
  EXPECT_EQ(Fake().reads, 4);
}

TEST_F(TextInputDevice, OneDeviceCallPer128Bytes) {
  std::deque<FakeChunk> chunks(10, FakeChunk{std::string(64 * 2, ' ')});
  for (auto& chunk : chunks)
    for (size_t i = 0; i < 128; i += 2) chunk.bytes[i] = '1';
  Deliver(chunks);
  int32_t sum = 0;
  for (int i = 0; i < 640; ++i) sum += ReadInteger(gStandardInput);
  EXPECT_EQ(sum, 640);
  EXPECT_EQ(Fake().reads, 10);
}

TEST_F(TextInputDevice, TheEndIsRememberedAndTheDeviceNotAskedAgain) {
  const struct {
    const char* name;
    std::deque<FakeChunk> chunks;
    std::vector<int32_t> values;  // what the integer reads give before the end
    int reads;                    // device calls in all
  } rows[] = {
      {"empty input", {}, {}, 1},
      {"end after a token", {{"7"}}, {7}, 2},
      {"end after a line", {{"7\r\n"}}, {7}, 2},
      {"0x1A mid-block", {{"1 2\x1A 3 4"}}, {1, 2}, 1},
      {"0x1A at the end", {{"1\r\n2\r\n\x1A"}}, {1, 2}, 1},
      {"0x1A ends a token", {{"2\x1A"}, {"3"}}, {2}, 1},
      {"0x1A first", {{"\x1A"}, {"3"}}, {}, 1},
      {"an empty read ends it, whatever follows", {{"9 "}, {""}, {"3"}}, {9}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    Deliver(row.chunks);
    for (int32_t value : row.values) EXPECT_EQ(ReadInteger(gStandardInput), value);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(ReadInteger(gStandardInput), 0);
      EXPECT_EQ(Bits(ReadReal(gStandardInput)), Bits(X(0.0)));
      SkipLine(gStandardInput);
      EXPECT_EQ(ReadByte(gStandardInput), kEndOfInput);
    }
    EXPECT_EQ(Fake().reads, row.reads);
    EXPECT_EQ(gPendingIOCode, 0);
  }
}

TEST_F(TextInputDevice, AFailedReadStoresItsCodeAndLeavesNoEndMarker) {
  Deliver({{"", EIO}, {"5\n"}});
  EXPECT_EQ(ReadInteger(gStandardInput), 0);
  EXPECT_EQ(gPendingIOCode, EIO);
  EXPECT_EQ(ReadInteger(gStandardInput), 5);  // the device is asked again
  EXPECT_EQ(Fake().reads, 2);
}

TEST_F(TextInputDevice, SkipLineDiscardsUpToTheLineFeed) {
  const struct {
    const char* input;
    int next;  // the byte after SkipLine, or kEndOfInput
  } rows[] = {
      {"ab\r\nX", 'X'},          {"ab\nX", 'X'},      {"\nX", 'X'},          {"\r\nX", 'X'},
      {"ab\rX\nY", 'Y'},  // a lone CR followed by text does not end the line
      {"ab\r\rX\nY", 'Y'},       {"ab\r\r\nY", 'Y'},  {"\r\n\r\nX", '\r'},  // one line at a time
      {"ab\n\x1A", kEndOfInput}, {"ab", kEndOfInput}, {"ab\r", kEndOfInput}, {"", kEndOfInput},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.input));
    SetUp();
    Deliver({{row.input}});
    SkipLine(gStandardInput);
    EXPECT_EQ(ReadByte(gStandardInput), row.next);
    EXPECT_EQ(gPendingIOCode, 0);
  }
}

// A token that fills its area is valid only when a separator or the end follows; a
// longer one is invalid and consumed whole, so the next read starts after it.
TEST_F(TextInputDevice, TokenAreasHold32And64Bytes) {
  const std::string ones(33, '1'), zeros31(31, '0'), zeros61(61, '0');
  struct Row {
    const char* name;
    std::string input;
    bool real;
    double first;
    int32_t code;
    int32_t next;  // the integer read after it (0 at the end)
  } rows[] = {
      {"33 ones", ones + "\r\n7", false, 0, 106, 7},
      {"32 bytes, then a blank", zeros31 + "7 8", false, 7, 0, 8},
      {"32 bytes at the end", zeros31 + "7", false, 7, 0, 0},
      {"33 bytes", zeros31 + "78 8", false, 0, 106, 8},
      {"300 bytes", std::string(299, '0') + "7\t8", false, 0, 106, 8},
      {"64 bytes, then a line end", zeros61 + "1.5\r\n8", true, 1.5, 0, 8},
      {"64 bytes at the end", zeros61 + "1.5", true, 1.5, 0, 0},
      {"65 bytes", zeros61 + "1.55 8", true, 0, 106, 8},
      {"65 bytes of which the first 64 read well", zeros61 + "1.5x 8", true, 0, 106, 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    Deliver({{row.input}});
    Extended got =
        row.real ? ReadReal(gStandardInput) : Extended::FromInt(ReadInteger(gStandardInput));
    EXPECT_EQ(got, X(row.first));
    EXPECT_EQ(gPendingIOCode, row.code);
    gPendingIOCode = 0;
    EXPECT_EQ(ReadInteger(gStandardInput), row.next);
    EXPECT_EQ(gPendingIOCode, 0);
  }
}

TEST_F(TextInputDevice, EveryByteUpTo0x20Separates) {
  std::string input = "1";
  for (int b = 0; b <= 0x20; ++b)
    if (b != 0x1A) input += static_cast<char>(b);
  input += "2";
  Deliver({{input}});
  EXPECT_EQ(ReadInteger(gStandardInput), 1);
  EXPECT_EQ(ReadInteger(gStandardInput), 2);
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextInputDevice, BytesAbove0x20BelongToTokens) {
  for (const char* input : {"\x7F", "1\x80",
                            "\xEF\xBB\xBF"
                            "1",
                            "1\xA0"
                            "2"}) {
    SCOPED_TRACE(testing::PrintToString(input));
    SetUp();
    Deliver({{input}});
    EXPECT_EQ(ReadInteger(gStandardInput), 0);
    EXPECT_EQ(gPendingIOCode, 106);
    EXPECT_EQ(ReadByte(gStandardInput), kEndOfInput);  // consumed whole
  }
}

TEST_F(TextInputDevice, AnInvalidStandardInputReadsAsTheEndWith104) {
  Fake().standardInputError = EBADF;
  Deliver({{"5\n"}});
  EXPECT_EQ(ReadInteger(gStandardInput), 0);
  EXPECT_EQ(gPendingIOCode, 104);
  EXPECT_EQ(gStandardInput.state, InputState::kClosed);
  gPendingIOCode = 0;
  SkipLine(gStandardInput);
  EXPECT_EQ(gPendingIOCode, 104);
  EXPECT_EQ(Fake().reads, 0);
}

TEST_F(TextInputDevice, StandardInputMayBeClosedOpenOrNot) {
  CloseInput(gStandardInput);
  EXPECT_EQ(gPendingIOCode, 0);
  Deliver({{"5"}});
  EXPECT_EQ(ReadInteger(gStandardInput), 5);
  CloseInput(gStandardInput);
  CloseInput(gStandardInput);
  EXPECT_EQ(gPendingIOCode, 0);
  EXPECT_EQ(Fake().closes, 0);  // the handle itself stays open
}

TEST_F(TextInputDevice, AnEmptyNameBindsToStandardInput) {
  TextInput channel;
  BindFile(channel, "");
  OpenForReading(channel);
  Deliver({{"8"}});
  EXPECT_EQ(ReadInteger(channel), 8);
  CloseInput(channel);
  EXPECT_EQ(Fake().closes, 0);
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextInputDevice, ChannelsThatAreNotOpenForReading) {
  TextInput neverBound{};
  OpenForReading(neverBound);
  EXPECT_EQ(gPendingIOCode, 102);
  neverBound.state = static_cast<InputState>(0x34);
  gPendingIOCode = 0;
  OpenForReading(neverBound);
  EXPECT_EQ(gPendingIOCode, 102);
  gPendingIOCode = 0;
  CloseInput(neverBound);
  EXPECT_EQ(gPendingIOCode, 103);
  gPendingIOCode = 0;
  EXPECT_EQ(ReadInteger(neverBound), 0);
  EXPECT_EQ(gPendingIOCode, 104);

  TextInput boundOnly;
  BindFile(boundOnly, "function.txt");
  gPendingIOCode = 0;
  CloseInput(boundOnly);
  EXPECT_EQ(gPendingIOCode, 103);
  gPendingIOCode = 0;
  EXPECT_EQ(Bits(ReadReal(boundOnly)), Bits(X(0.0)));
  EXPECT_EQ(gPendingIOCode, 104);
  gPendingIOCode = 0;
  SkipLine(boundOnly);
  EXPECT_EQ(gPendingIOCode, 104);
  EXPECT_EQ(Fake().reads, 0);
}

TEST(BindFile, ClearsTheChannelAndKeepsTheName) {
  TextInput channel;
  std::memset(&channel, 0x5A, sizeof channel);
  static const std::string longName(300, 'n');
  BindFile(channel, longName.c_str());
  EXPECT_EQ(channel.state, InputState::kClosed);
  EXPECT_EQ(channel.position, 0u);
  EXPECT_EQ(channel.fillLevel, 0u);
  EXPECT_FALSE(channel.fromText);
  EXPECT_EQ(channel.name, longName.c_str());

  BindFile(channel, "function.txt");
  EXPECT_STREQ(channel.name, "function.txt");
}

// A failure of a bound file notes its name in the I/O record, cut at 259 bytes: the one
// copy, which outlives the input.
TEST_F(TextInputDevice, FailureNotesTheNameCutAt259Bytes) {
  struct Row {
    std::string name;
    std::string noted;
  } const rows[] = {
      {"function.txt", "function.txt"},
      {std::string(259, 'n'), std::string(259, 'n')},
      {std::string(300, 'n'), std::string(259, 'n')},
  };
  for (const Row& row : rows) {
    TextInput channel{};
    gIORecord = IORecord{};
    gPendingIOCode = 0;
    Fake().openError = ENOENT;
    BindFile(channel, row.name.c_str());
    OpenForReading(channel);
    EXPECT_EQ(gPendingIOCode, ENOENT);
    EXPECT_EQ(gIORecord.stream, IOStream::kFile);
    EXPECT_EQ(std::string(gIORecord.fileName.Range(0, kNameLimit + 1)), row.noted);
    // The system was asked for the whole name.
    ASSERT_FALSE(Fake().opened.empty());
    EXPECT_EQ(Fake().opened.back(), row.name);
  }
  gPendingIOCode = 0;
}

// A text in memory reads as a device's bytes would, block by block: a token that starts
// past the first 128 bytes or runs across a block is whole, 0x1A ends it, and the device
// is never asked.
TEST_F(TextInputDevice, OpenTextReadsATextAsADeviceWouldBeRead) {
  struct Row {
    const char* name;
    std::string text;
    bool integer;
    int32_t integerValue;
    double realValue;
    int32_t code;
  } const rows[] = {
      {"a count", "266", true, 266, 0.0, 0},
      {"blanks and the rest of the line", " 10 abc", true, 10, 0.0, 0},
      {"hexadecimal", "$FFFF", true, 65535, 0.0, 0},
      {"a bad token", "10abc", true, 0, 0.0, 106},
      {"past the first block", std::string(200, ' ') + "1.5", false, 0, 1.5, 0},
      {"across two blocks", std::string(126, ' ') + "0.125", false, 0, 0.125, 0},
      {"an end marker first",
       "\x1a"
       "5",
       true, 0, 0.0, 0},
      {"a token longer than its area", std::string(100, '1'), false, 0, 0.0, 106},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    gPendingIOCode = 0;
    TextInput input{};
    OpenText(input, row.text);
    if (row.integer) {
      EXPECT_EQ(ReadInteger(input), row.integerValue);
    } else {
      EXPECT_EQ(Bits(ReadReal(input)), Bits(X(row.realValue)));
    }
    EXPECT_EQ(gPendingIOCode, row.code);
    EXPECT_EQ(Fake().reads, 0);
    gPendingIOCode = 0;
  }
}

}  // namespace
