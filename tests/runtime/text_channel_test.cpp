#include "runtime/text_channel.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "number_answers.h"
#include "runtime/fatal.h"
#include "runtime/platform.h"

// The reading machinery over the fake device: each read delivers the next chunk (or fails
// with the chunk's code) and is counted; after the last chunk every read gives 0 bytes.
// An empty chunk is one read that delivers nothing, which is the end of the input.

namespace {

class FakeDevice : public testing::Test {
 protected:
  void SetUp() override {
    fake_.reset();
    fake_.emplace();
    gInOutRes = 0;
    MarkStandardInputClosed();
  }
  void TearDown() override {
    fake_.reset();
    MarkStandardInputClosed();
    gInOutRes = 0;
  }
  void Deliver(std::deque<FakeChunk> chunks) { fake_->input = std::move(chunks); }
  FakePlatform& Fake() { return *fake_; }

 private:
  std::optional<FakePlatform> fake_;
};

std::string Blanks(size_t count) { return std::string(count, ' '); }

TEST_F(FakeDevice, StandardInputOpensOnItsFirstReadOnly) {
  Deliver({{"1 2 3"}});
  EXPECT_EQ(StandardInput.state, kChannelClosed);
  EXPECT_EQ(ReadInteger(StandardInput), 1);
  EXPECT_EQ(StandardInput.state, kChannelInput);
  EXPECT_EQ(StandardInput.flags, gChannelFlagDefault);
  EXPECT_EQ(StandardInput.handle, 0);
  EXPECT_EQ(StandardInput.bufferSize, 128u);
  EXPECT_EQ(StandardInput.buffer, StandardInput.ownBuffer.Range(0, 128));
  EXPECT_EQ(ReadInteger(StandardInput), 2);
  EXPECT_EQ(ReadInteger(StandardInput), 3);
  EXPECT_EQ(Fake().inputChecks, 1);
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(FakeDevice, TokensStraddleBlocks) {
  Deliver({{Blanks(126) + "12"}, {"34 " + Blanks(123) + "1."}, {"5e1\n"}});
  EXPECT_EQ(ReadInteger(StandardInput), 1234);
  EXPECT_EQ(ReadReal(StandardInput), 15.0L);
  EXPECT_EQ(Fake().reads, 3);
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(FakeDevice, CrLfSplitAcrossBlocksEndsOneLine) {
  Deliver({{Blanks(126) + "5\r"}, {"\n7\r\n"}});
  EXPECT_EQ(ReadInteger(StandardInput), 5);
  EXPECT_EQ(Fake().reads, 1);
  SkipLine(StandardInput);
  EXPECT_EQ(Fake().reads, 2);
  EXPECT_EQ(ReadByte(StandardInput), '7');
}

TEST_F(FakeDevice, ShortReadsAreNormal) {
  Deliver({{"1"}, {"2"}, {"3"}, {"\n"}});
  EXPECT_EQ(ReadInteger(StandardInput), 123);
  EXPECT_EQ(Fake().reads, 4);
}

TEST_F(FakeDevice, OneDeviceCallPer128Bytes) {
  std::deque<FakeChunk> chunks(10, FakeChunk{std::string(64 * 2, ' ')});
  for (auto& chunk : chunks)
    for (size_t i = 0; i < 128; i += 2) chunk.bytes[i] = '1';
  Deliver(chunks);
  int32_t sum = 0;
  for (int i = 0; i < 640; ++i) sum += ReadInteger(StandardInput);
  EXPECT_EQ(sum, 640);
  EXPECT_EQ(Fake().reads, 10);
}

TEST_F(FakeDevice, TheEndIsRememberedAndTheDeviceNotAskedAgain) {
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
    for (int32_t value : row.values) EXPECT_EQ(ReadInteger(StandardInput), value);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(ReadInteger(StandardInput), 0);
      EXPECT_EQ(Bits(ReadReal(StandardInput)), Bits(0.0L));
      SkipLine(StandardInput);
      EXPECT_EQ(ReadByte(StandardInput), kEndOfInput);
    }
    EXPECT_EQ(Fake().reads, row.reads);
    EXPECT_EQ(gInOutRes, 0);
  }
}

TEST_F(FakeDevice, AFailedReadStoresItsCodeAndLeavesNoEndMarker) {
  Deliver({{"", EIO}, {"5\n"}});
  EXPECT_EQ(ReadInteger(StandardInput), 0);
  EXPECT_EQ(gInOutRes, EIO);
  EXPECT_EQ(ReadInteger(StandardInput), 5);  // the device is asked again
  EXPECT_EQ(Fake().reads, 2);
}

TEST_F(FakeDevice, SkipLineDiscardsUpToTheLineFeed) {
  const struct {
    const char* input;
    int next;  // the byte after SkipLine, or kEndOfInput
  } rows[] = {
      {"ab\r\nX", 'X'},
      {"ab\nX", 'X'},
      {"\nX", 'X'},
      {"\r\nX", 'X'},
      {"ab\rX\nY", 'Y'},  // a lone CR followed by text does not end the line
      {"ab\r\rX\nY", 'Y'},
      {"ab\r\r\nY", 'Y'},
      {"\r\n\r\nX", '\r'},  // one line at a time
      {"ab\n\x1A", kEndOfInput},
      {"ab", kEndOfInput},
      {"ab\r", kEndOfInput},
      {"", kEndOfInput},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.input));
    SetUp();
    Deliver({{row.input}});
    SkipLine(StandardInput);
    EXPECT_EQ(ReadByte(StandardInput), row.next);
    EXPECT_EQ(gInOutRes, 0);
  }
}

TEST_F(FakeDevice, TokenAreasHold32And64Bytes) {
  // 33 ones: the first 32 form one token, which overflows; the 33rd starts the next.
  Deliver({{std::string(33, '1') + "\r\n"}});
  EXPECT_EQ(ReadInteger(StandardInput), 0);
  EXPECT_EQ(gInOutRes, 106);
  gInOutRes = 0;
  EXPECT_EQ(ReadInteger(StandardInput), 1);
  EXPECT_EQ(gInOutRes, 0);

  SetUp();
  Deliver({{std::string(32, '0') + "7"}});
  EXPECT_EQ(ReadInteger(StandardInput), 0);
  EXPECT_EQ(ReadInteger(StandardInput), 7);

  SetUp();
  Deliver({{std::string(61, '0') + "1.5 " + std::string(61, '0') + "1.55"}});
  EXPECT_EQ(ReadReal(StandardInput), 1.5L);  // exactly 64 bytes
  EXPECT_EQ(ReadReal(StandardInput), 1.5L);  // 65 bytes: the last starts the next token
  EXPECT_EQ(ReadReal(StandardInput), 5.0L);
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(FakeDevice, EveryByteUpTo0x20Separates) {
  std::string input = "1";
  for (int b = 0; b <= 0x20; ++b)
    if (b != 0x1A) input += static_cast<char>(b);
  input += "2";
  Deliver({{input}});
  EXPECT_EQ(ReadInteger(StandardInput), 1);
  EXPECT_EQ(ReadInteger(StandardInput), 2);
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(FakeDevice, BytesAbove0x20BelongToTokens) {
  for (const char* input : {"\x7F", "1\x80", "\xEF\xBB\xBF" "1", "1\xA0" "2"}) {
    SCOPED_TRACE(testing::PrintToString(input));
    SetUp();
    Deliver({{input}});
    EXPECT_EQ(ReadInteger(StandardInput), 0);
    EXPECT_EQ(gInOutRes, 106);
    EXPECT_EQ(ReadByte(StandardInput), kEndOfInput);  // consumed whole
  }
}

TEST_F(FakeDevice, AnInvalidStandardInputReadsAsTheEndWith104) {
  Fake().standardInputError = EBADF;
  Deliver({{"5\n"}});
  EXPECT_EQ(ReadInteger(StandardInput), 0);
  EXPECT_EQ(gInOutRes, 104);
  EXPECT_EQ(StandardInput.state, kChannelClosed);
  gInOutRes = 0;
  SkipLine(StandardInput);
  EXPECT_EQ(gInOutRes, 104);
  EXPECT_EQ(Fake().reads, 0);
}

TEST_F(FakeDevice, StandardInputMayBeClosedOpenOrNot) {
  CloseChannel(StandardInput);
  EXPECT_EQ(gInOutRes, 0);
  Deliver({{"5"}});
  EXPECT_EQ(ReadInteger(StandardInput), 5);
  CloseChannel(StandardInput);
  CloseChannel(StandardInput);
  EXPECT_EQ(gInOutRes, 0);
  EXPECT_EQ(Fake().closes, 0);  // the handle itself stays open
}

TEST_F(FakeDevice, AnEmptyNameBindsToStandardInput) {
  TextChannel channel;
  BindFile(channel, "");
  OpenForReading(channel);
  Deliver({{"8"}});
  EXPECT_EQ(ReadInteger(channel), 8);
  CloseChannel(channel);
  EXPECT_EQ(Fake().closes, 0);
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(FakeDevice, ChannelsThatAreNotOpenForReading) {
  TextChannel neverBound{};
  OpenForReading(neverBound);
  EXPECT_EQ(gInOutRes, 102);
  neverBound.state = 0x1234;
  gInOutRes = 0;
  OpenForReading(neverBound);
  EXPECT_EQ(gInOutRes, 102);
  gInOutRes = 0;
  CloseChannel(neverBound);
  EXPECT_EQ(gInOutRes, 103);
  gInOutRes = 0;
  EXPECT_EQ(ReadInteger(neverBound), 0);
  EXPECT_EQ(gInOutRes, 104);

  TextChannel boundOnly;
  BindFile(boundOnly, "function.txt");
  gInOutRes = 0;
  CloseChannel(boundOnly);
  EXPECT_EQ(gInOutRes, 103);
  gInOutRes = 0;
  EXPECT_EQ(Bits(ReadReal(boundOnly)), Bits(0.0L));
  EXPECT_EQ(gInOutRes, 104);
  gInOutRes = 0;
  SkipLine(boundOnly);
  EXPECT_EQ(gInOutRes, 104);
  EXPECT_EQ(Fake().reads, 0);
}

TEST(BindFile, ClearsTheChannelAndCutsTheNameAt259Bytes) {
  TextChannel channel;
  std::memset(&channel, 0x5A, sizeof channel);
  std::string longName(300, 'n');
  BindFile(channel, longName.c_str());
  EXPECT_EQ(channel.state, kChannelClosed);
  EXPECT_EQ(channel.flags, gChannelFlagDefault);
  EXPECT_EQ(channel.bufferSize, 128u);
  EXPECT_EQ(channel.position, 0u);
  EXPECT_EQ(channel.fillLevel, 0u);
  EXPECT_EQ(channel.buffer, channel.ownBuffer.Range(0, 128));
  EXPECT_EQ(channel.openOperation, &DefaultOpen);
  EXPECT_EQ(channel.transferOperation, nullptr);
  EXPECT_EQ(channel.closeOperation, nullptr);
  EXPECT_EQ(std::string(channel.name.Range(0, 260)), std::string(259, 'n'));

  BindFile(channel, "function.txt");
  EXPECT_EQ(std::string(channel.name.Range(0, 260)), "function.txt");
  EXPECT_EQ(channel.name[259], '\0');
}

}  // namespace
