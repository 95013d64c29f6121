// Loading the profit table from real files.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "model/profit_table.h"
#include "runtime/core/stop.h"
#include "runtime/program/program.h"
#include "temp_directory.h"

namespace {

// function.txt in a private temporary directory, removed again by the destructor.
class TempFile {
 public:
  explicit TempFile(const std::string& bytes)
      : directory_("profit_file_test"), path_(directory_.Write("function.txt", bytes)) {}
  const char* path() const { return path_.c_str(); }

 private:
  TempDirectory directory_;
  std::string path_;
};

float Expected(int k, int j) { return static_cast<float>(k * 100 + j); }

// The 80 numbers k * 100 + j, with `separator(k, j)` after each.
template <typename Separator>
std::string Numbers(int howMany, Separator separator) {
  std::string text;
  for (int n = 0; n < howMany; ++n) {
    int k = 1 + n / 10, j = n % 10;
    text += std::to_string(k * 100 + j) + separator(k, j);
  }
  return text;
}

std::string Layout(int k, int j) {
  (void)k;
  return j == 9 ? "\r\n" : " ";
}

// Entries loaded before a stop, kept in memory shared with the child that stopped.
struct LoadResult {
  int status;
  ProfitTable* table;  // in the shared mapping
};

LoadResult LoadInChild(const char* path) {
  void* shared =
      mmap(nullptr, sizeof(ProfitTable), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  auto* table = new (shared) ProfitTable{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table->entries[k][j] = -1.0f;  // untouched marker
  fflush(stdout);
  pid_t child = fork();
  if (child == 0) {
    table->Load(path);
    EndProgram();
  }
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, table};
}

TEST(ProfitTableLoadTest, ReadsEightyNumbersProjectByProject) {
  struct Case {
    const char* label;
    std::string bytes;
  } const cases[] = {
      {"eight lines of ten", Numbers(80, Layout)},
      {"one line", Numbers(80, [](int, int) { return " "; })},
      {"one per line", Numbers(80, [](int, int) { return "\n"; })},
      {"mixed separators", "\n\n" + Numbers(80,
                                            [](int k, int j) {
                                              return std::string(
                                                  (k + j) % 2 ? "\t\x01" : "\x00\x20", 2);
                                            })},
      {"more than eighty", Numbers(80, Layout) + "900 901 garbage 1e99999"},
      {"no final line end", Numbers(80, [](int k, int j) { return k == 8 && j == 9 ? "" : " "; })},
  };
  for (const Case& c : cases) {
    TempFile file(c.bytes);
    static ProfitTable table;
    table = ProfitTable{};
    EXPECT_EQ(table.Load(file.path()), 80) << c.label;
    for (int k = 1; k <= 8; ++k)
      for (int j = 0; j <= 9; ++j)
        ASSERT_EQ(table.entries[k][j], Expected(k, j)) << c.label << " [" << k << ", " << j << "]";
  }
}

TEST(ProfitTableLoadTest, MissingNumbersReadAsZero) {
  struct Case {
    const char* label;
    std::string bytes;
    int numbers;  // entries that hold their number; the rest are 0
  } const cases[] = {
      {"empty file", "", 0},
      {"forty numbers", Numbers(40, Layout), 40},
      {"end marker after fifteen", Numbers(15, Layout) + "\x1A" + Numbers(80, Layout), 15},
      {"end marker inside a line", Numbers(3, Layout) + "\x1A" + "7 8 9", 3},
      {"blanks only", " \r\n\t \r\n", 0},
      {"seventy-nine, blanks after", Numbers(79, Layout) + std::string(1000, ' '), 79},
  };
  for (const Case& c : cases) {
    TempFile file(c.bytes);
    static ProfitTable table;
    for (int k = 1; k <= 8; ++k)
      for (int j = 0; j <= 9; ++j) table.entries[k][j] = -1.0f;
    EXPECT_EQ(table.Load(file.path()), c.numbers) << c.label;
    for (int n = 0; n < 80; ++n) {
      int k = 1 + n / 10, j = n % 10;
      ASSERT_EQ(table.entries[k][j], n < c.numbers ? Expected(k, j) : 0.0f)
          << c.label << " [" << k << ", " << j << "]";
    }
  }
}

// A token without digits is a 0 like any other, and is named: the first three with their
// places and tokens, every one counted. Entries past the end of the data are no tokens.
TEST(ProfitTableLoadTest, EntriesWithoutDigitsAreZeroAndNamed) {
  struct Named {
    int project, level;
    std::string token;  // its first 16 bytes
    int length;
  };
  struct Case {
    const char* label;
    std::string bytes;
    int count;
    std::vector<Named> first;
  } const cases[] = {
      {"every entry a number", Numbers(80, Layout), 0, {}},
      {"zeros written with digits", "0 .0 0. 0e5 -0 +0.e-1", 0, {}},
      {"two, then the end of the data", "1 . 3 e5", 2, {{1, 1, ".", 1}, {1, 3, "e5", 2}}},
      {"five in a row",
       ". -. e5 .e5 +.e-5 7",
       5,
       {{1, 0, ".", 1}, {1, 1, "-.", 2}, {1, 2, "e5", 2}}},
      {"a long exponent",
       Numbers(57, Layout) + "+.E000000000000000000012",
       1,
       {{6, 7, "+.E0000000000000", 24}}},
      {"the last entry", Numbers(79, Layout) + ".", 1, {{8, 9, ".", 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempFile file(c.bytes);
    static ProfitTable table;
    table = ProfitTable{};
    table.digitless.count = -1;  // Load sets it
    table.Load(file.path());
    EXPECT_EQ(table.digitless.count, c.count);
    for (size_t i = 0; i < c.first.size(); ++i) {
      const DigitlessEntry& got = table.digitless.first[static_cast<int>(i) + 1];
      const Named& want = c.first[i];
      EXPECT_EQ(got.project, want.project) << i;
      EXPECT_EQ(got.level, want.level) << i;
      EXPECT_EQ(got.length, want.length) << i;
      EXPECT_EQ(
          std::string(got.token.Range(0, static_cast<int>(want.token.size())), want.token.size()),
          want.token)
          << i;
      EXPECT_EQ(table.entries[got.project][got.level], 0.0f) << i;
    }
  }
}

TEST(ProfitTableLoadTest, EntriesRoundedToFloat) {
  TempFile file("0.1 -1.25 1e2 1e-50 .5 -0 16777217 3.4028235e38 0e5120 -0e5120");
  static ProfitTable table;
  table.Load(file.path());
  const float expected[10] = {0.1f, -1.25f, 100.0f,      0.0f,
                              0.5f, -0.0f,  16777216.0f, std::numeric_limits<float>::max(),
                              0.0f, -0.0f};
  for (int j = 0; j <= 9; ++j) EXPECT_EQ(table.entries[1][j], expected[j]) << j;
  EXPECT_TRUE(std::signbit(table.entries[1][5]));
  EXPECT_FALSE(std::signbit(table.entries[1][8]));
  EXPECT_TRUE(std::signbit(table.entries[1][9]));
}

TEST(ProfitTableLoadTest, StopsAtFirstBadEntryWithEarlierOnesStored) {
  struct Case {
    const char* label;
    std::string bytes;
    int status;
    int stored;  // entries loaded before the stop
  } const cases[] = {
      {"letters after digits", Numbers(12, Layout) + "12abc " + Numbers(80, Layout), 106, 12},
      {"comma", Numbers(5, Layout) + "1,5", 106, 5},
      {"byte-order mark", "\xEF\xBB\xBF" + Numbers(80, Layout), 106, 0},
      {"too large for a float", Numbers(23, Layout) + "1e39 5", 205, 23},
      {"too large negative", Numbers(79, Layout) + "-4e38", 205, 79},
      {"exponent 5120", Numbers(40, Layout) + "1e5120", 205, 40},
  };
  for (const Case& c : cases) {
    TempFile file(c.bytes);
    LoadResult result = LoadInChild(file.path());
    EXPECT_EQ(result.status, c.status) << c.label;
    for (int n = 0; n < 80; ++n) {
      int k = 1 + n / 10, j = n % 10;
      float expected =
          n < c.stored ? Expected(k, j) : (n == c.stored && c.status == 106 ? 0.0f : -1.0f);
      EXPECT_EQ(result.table->entries[k][j], expected) << c.label << " [" << k << ", " << j << "]";
    }
    munmap(result.table, sizeof(ProfitTable));
  }
}

TEST(ProfitTableLoadTest, MissingFileStopsWithNotFound) {
  LoadResult result = LoadInChild("/tmp/profit_file_test.none/function.txt");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.table->entries[1][0], -1.0f);
  munmap(result.table, sizeof(ProfitTable));
}

}  // namespace
