#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "extended_values.h"
#include "fake_platform.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/stream/text_input.h"
#include "temp_directory.h"

// Named files read through real temporary files, the way the profit table is loaded.

namespace {

using Table = std::array<Extended, 80>;

class TextInputFile : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.Path().empty());
    gPendingIOCode = 0;
  }
  void TearDown() override { gPendingIOCode = 0; }

  std::string Write(const std::string& bytes) { return dir_.Write("function.txt", bytes); }

  // Bind, open, 80 reals, close: the calling order of the loader, without the checks.
  Table Load(const std::string& path) {
    Table table{};
    TextInput channel;
    BindFile(channel, path.c_str());
    OpenForReading(channel);
    EXPECT_EQ(gPendingIOCode, 0);
    for (auto& entry : table) entry = ReadReal(channel);
    CloseInput(channel);
    return table;
  }

  TempDirectory dir_{"text_file"};
  const std::string& directory_ = dir_.Path();
};

// 0.25, 0.5, ... 20: exact, so every layout must give the very same values.
Table Quarters() {
  Table table{};
  for (int i = 0; i < 80; ++i) table[i] = Extended::FromInt(i + 1) * X(0.25);
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

TEST_F(TextInputFile, EveryLayoutOfTheNumbersReadsTheSame) {
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
    gPendingIOCode = 0;
    EXPECT_EQ(Load(Write(row.bytes)), Quarters());
    EXPECT_EQ(gPendingIOCode, 0);
  }
}

TEST_F(TextInputFile, MissingNumbersReadAsZero) {
  Table expected = Quarters();
  for (int i = 40; i < 80; ++i) expected[i] = X(0.0);
  std::string forty = Layout("\r\n").substr(0, Layout("\r\n").find("10.25"));
  EXPECT_EQ(Load(Write(forty)), expected);
  EXPECT_EQ(gPendingIOCode, 0);
  // 0x1A ends the input: what follows it is never read.
  EXPECT_EQ(Load(Write(forty + "\x1A" + Layout("\r\n"))), expected);
  EXPECT_EQ(gPendingIOCode, 0);
  EXPECT_EQ(Load(Write("")), Table{});
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextInputFile, AByteOrderMarkMakesTheFirstTokenInvalid) {
  Table table = Load(Write("\xEF\xBB\xBF" + Layout("\r\n")));
  EXPECT_EQ(gPendingIOCode, 106);
  EXPECT_EQ(table[0], X(0.0));
  EXPECT_EQ(table[1], X(0.5));
}

TEST_F(TextInputFile, ATokenAcrossTheBlockBoundary) {
  TextInput channel;
  // The input keeps the name, not a copy: it lives as long as the input.
  std::string path = Write(std::string(126, ' ') + "1234.5\r\n7");
  BindFile(channel, path.c_str());
  OpenForReading(channel);
  EXPECT_EQ(ReadReal(channel), X(1234.5));
  SkipLine(channel);
  EXPECT_EQ(ReadInteger(channel), 7);
  CloseInput(channel);
  EXPECT_EQ(gPendingIOCode, 0);
}

TEST_F(TextInputFile, OpenFailuresPassTheSystemCodeOn) {
  TextInput channel;
  std::string missing = directory_ + "/missing.txt";
  BindFile(channel, missing.c_str());
  OpenForReading(channel);
  EXPECT_EQ(gPendingIOCode, 2);  // ENOENT, ERROR_FILE_NOT_FOUND
  EXPECT_EQ(channel.state, InputState::kClosed);
  gPendingIOCode = 0;
  EXPECT_EQ(ReadInteger(channel), 0);
  EXPECT_EQ(gPendingIOCode, 104);

  // A directory opens on Linux, and its first read fails; Windows refuses to open it.
  gPendingIOCode = 0;
  BindFile(channel, directory_.c_str());
  OpenForReading(channel);
#ifdef _WIN32
  EXPECT_EQ(gPendingIOCode, 5);  // ERROR_ACCESS_DENIED
  EXPECT_EQ(channel.state, InputState::kClosed);
#else
  EXPECT_EQ(gPendingIOCode, 0);
  EXPECT_EQ(ReadReal(channel), X(0.0));
  EXPECT_EQ(gPendingIOCode, EISDIR);
  CloseInput(channel);
#endif
}

TEST_F(TextInputFile, TheFileIsNeverCreated) {
  TextInput channel;
  std::string path = directory_ + "/function.txt";
  BindFile(channel, path.c_str());
  OpenForReading(channel);
  EXPECT_EQ(gPendingIOCode, 2);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(TextInputFile, CloseReleasesTheHandleOnce) {
  FakePlatform fake;  // the system's files, with the closes counted
  TextInput channel;
  std::string path = Write("1 2 3");
  BindFile(channel, path.c_str());
  OpenForReading(channel);
  EXPECT_EQ(ReadInteger(channel), 1);
  EXPECT_EQ(ReadInteger(channel), 2);
  // Opening an open channel closes it first and starts again at the beginning.
  OpenForReading(channel);
  EXPECT_EQ(fake.closes, 1);
  EXPECT_EQ(ReadInteger(channel), 1);
  CloseInput(channel);
  EXPECT_EQ(fake.closes, 2);
  EXPECT_EQ(channel.state, InputState::kClosed);
  EXPECT_EQ(gPendingIOCode, 0);
  CloseInput(channel);
  EXPECT_EQ(gPendingIOCode, 103);
  EXPECT_EQ(fake.closes, 2);

  gPendingIOCode = 0;
  fake.closeError = EIO;
  OpenForReading(channel);
  CloseInput(channel);
  EXPECT_EQ(gPendingIOCode, EIO);
  EXPECT_EQ(channel.state, InputState::kClosed);
}

}  // namespace
