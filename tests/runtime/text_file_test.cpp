#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "fake_platform.h"
#include "runtime/core/stop.h"
#include "runtime/stream/text_input.h"

// Named files read through real temporary files, the way the profit table is loaded.

namespace {

using Table = std::array<long double, 80>;

class TextFile : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    do directory_ = testing::TempDir() + "text_file_" + std::to_string(random());
    while (!std::filesystem::create_directory(directory_));
    gInOutRes = 0;
  }
  void TearDown() override {
    std::filesystem::remove_all(directory_);
    gInOutRes = 0;
  }

  std::string Write(const std::string& bytes) {
    std::string path = directory_ + "/function.txt";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
  }

  // Bind, open, 80 reals, close: the calling order of the loader, without the checks.
  Table Load(const std::string& path) {
    Table table{};
    TextChannel channel;
    BindFile(channel, path.c_str());
    OpenForReading(channel);
    EXPECT_EQ(gInOutRes, 0);
    for (auto& entry : table) entry = ReadReal(channel);
    CloseChannel(channel);
    return table;
  }

  std::string directory_;
};

// 0.25, 0.5, ... 20: exact, so every layout must give the very same values.
Table Quarters() {
  Table table{};
  for (int i = 0; i < 80; ++i) table[i] = (i + 1) * 0.25L;
  return table;
}

std::string Layout(const std::string& separator) {
  std::string text;
  for (int i = 0; i < 80; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%g", (i + 1) * 0.25);
    text += number;
    text += separator;
  }
  return text;
}

TEST_F(TextFile, EveryLayoutOfTheNumbersReadsTheSame) {
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"one line", Layout(" ")},
      {"one per line", Layout("\r\n")},
      {"LF line ends", Layout("\n")},
      {"tabs", Layout("\t")},
      {"control bytes", Layout(std::string("\x01\x00\x1f\x1b\x7f", 4))},
      {"mixed", "\r\n\r\n" + Layout(" \t\r\n\f\v\x10 ")},
      {"no final line end", Layout(" ").substr(0, Layout(" ").size() - 1)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    gInOutRes = 0;
    EXPECT_EQ(Load(Write(row.bytes)), Quarters());
    EXPECT_EQ(gInOutRes, 0);
  }
}

TEST_F(TextFile, MissingNumbersReadAsZero) {
  Table expected = Quarters();
  for (int i = 40; i < 80; ++i) expected[i] = 0.0L;
  std::string forty = Layout("\r\n").substr(0, Layout("\r\n").find("10.25"));
  EXPECT_EQ(Load(Write(forty)), expected);
  EXPECT_EQ(gInOutRes, 0);
  // 0x1A ends the input: what follows it is never read.
  EXPECT_EQ(Load(Write(forty + "\x1A" + Layout("\r\n"))), expected);
  EXPECT_EQ(gInOutRes, 0);
  EXPECT_EQ(Load(Write("")), Table{});
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(TextFile, AByteOrderMarkMakesTheFirstTokenInvalid) {
  Table table = Load(Write("\xEF\xBB\xBF" + Layout("\r\n")));
  EXPECT_EQ(gInOutRes, 106);
  EXPECT_EQ(table[0], 0.0L);
  EXPECT_EQ(table[1], 0.5L);
}

TEST_F(TextFile, ATokenAcrossTheBlockBoundary) {
  TextChannel channel;
  BindFile(channel, Write(std::string(126, ' ') + "1234.5\r\n7").c_str());
  OpenForReading(channel);
  EXPECT_EQ(ReadReal(channel), 1234.5L);
  SkipLine(channel);
  EXPECT_EQ(ReadInteger(channel), 7);
  CloseChannel(channel);
  EXPECT_EQ(gInOutRes, 0);
}

TEST_F(TextFile, OpenFailuresPassTheSystemCodeOn) {
  TextChannel channel;
  BindFile(channel, (directory_ + "/missing.txt").c_str());
  OpenForReading(channel);
  EXPECT_EQ(gInOutRes, 2);  // ENOENT, ERROR_FILE_NOT_FOUND
  EXPECT_EQ(channel.state, kChannelClosed);
  gInOutRes = 0;
  EXPECT_EQ(ReadInteger(channel), 0);
  EXPECT_EQ(gInOutRes, 104);

  // A directory opens on Linux, and its first read fails; Windows refuses to open it.
  gInOutRes = 0;
  BindFile(channel, directory_.c_str());
  OpenForReading(channel);
#ifdef _WIN32
  EXPECT_EQ(gInOutRes, 5);  // ERROR_ACCESS_DENIED
  EXPECT_EQ(channel.state, kChannelClosed);
#else
  EXPECT_EQ(gInOutRes, 0);
  EXPECT_EQ(ReadReal(channel), 0.0L);
  EXPECT_EQ(gInOutRes, EISDIR);
  CloseChannel(channel);
#endif
}

TEST_F(TextFile, TheFileIsNeverCreated) {
  TextChannel channel;
  std::string path = directory_ + "/function.txt";
  BindFile(channel, path.c_str());
  OpenForReading(channel);
  EXPECT_EQ(gInOutRes, 2);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(TextFile, CloseReleasesTheHandleOnce) {
  FakePlatform fake;  // the system's files, with the closes counted
  TextChannel channel;
  BindFile(channel, Write("1 2 3").c_str());
  OpenForReading(channel);
  EXPECT_EQ(ReadInteger(channel), 1);
  EXPECT_EQ(ReadInteger(channel), 2);
  // Opening an open channel closes it first and starts again at the beginning.
  OpenForReading(channel);
  EXPECT_EQ(fake.closes, 1);
  EXPECT_EQ(ReadInteger(channel), 1);
  CloseChannel(channel);
  EXPECT_EQ(fake.closes, 2);
  EXPECT_EQ(channel.state, kChannelClosed);
  EXPECT_EQ(gInOutRes, 0);
  CloseChannel(channel);
  EXPECT_EQ(gInOutRes, 103);
  EXPECT_EQ(fake.closes, 2);

  gInOutRes = 0;
  fake.closeError = EIO;
  OpenForReading(channel);
  CloseChannel(channel);
  EXPECT_EQ(gInOutRes, EIO);
  EXPECT_EQ(channel.state, kChannelClosed);
}

}  // namespace
