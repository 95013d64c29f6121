#include "app/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program_description.h"

namespace {

// argv for a command line of the given words after the program's name.
class Arguments {
 public:
  Arguments(const char* name, std::vector<std::string> words) : words_(std::move(words)) {
    pointers_.push_back(const_cast<char*>(name));
    for (std::string& word : words_) pointers_.push_back(word.data());
    pointers_.push_back(nullptr);
  }
  int Count() const { return static_cast<int>(pointers_.size()) - 1; }
  char** Values() { return pointers_.data(); }

 private:
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};

Options Read(const ProgramDescription& program, std::vector<std::string> words) {
  static Arguments* arguments = nullptr;
  delete arguments;
  arguments = new Arguments(program.name, std::move(words));
  return ReadOptions(arguments->Count(), arguments->Values(), program);
}

std::string Text(const char* given) { return given != nullptr ? given : "(none)"; }

TEST(ReadOptionsTest, ValuesAfterTheNameOrAfterEquals) {
  Options o = Read(kAllocate, {"--seed", "7", "--individuals=10", "stray", "--iterations", "-5",
                               "--amplitude= 0.01", "--file", "t.txt", "--csv"});
  EXPECT_TRUE(o.seedGiven);
  EXPECT_EQ(o.seed, 7u);
  EXPECT_EQ(Text(o.answers[1]), "10");
  EXPECT_EQ(Text(o.answers[2]), "-5");  // a value, whatever it looks like
  EXPECT_EQ(Text(o.answers[3]), " 0.01");
  EXPECT_STREQ(o.TableFile(), "t.txt");
  EXPECT_TRUE(o.csv);
  EXPECT_FALSE(o.noWait);
  EXPECT_FALSE(o.help);

  Options none = Read(kAllocateOptimum, {});
  EXPECT_STREQ(none.TableFile(), "function.txt");
  EXPECT_FALSE(none.seedGiven);
  EXPECT_EQ(none.answers[1], nullptr);
}

// --help and --version are answered whatever else the command line holds: a fault
// beside them ends nothing.
TEST(ReadOptionsTest, HelpAndVersionWinOverFaults) {
  EXPECT_TRUE(Read(kAllocate, {"--bogus", "-h"}).help);
  EXPECT_TRUE(Read(kAllocateOptimum, {"--seed", "1", "--version"}).version);
}

// Each fault ends the run with 64 and one line on standard error, signed with the
// program's own name; only the first fault is told.
TEST(ReadOptionsDeathTest, FaultsEndWithUsageStatus) {
  struct Row {
    const ProgramDescription* program;
    std::vector<std::string> words;
    std::string line;  // a pattern of the line on standard error
  } const rows[] = {
      {&kAllocate,
       {"--bogus", "--seed"},
       "^allocate: unknown option \"--bogus\" \\(allocate --help"},
      {&kAllocateOptimum,
       {"--seed", "1"},
       "^allocate-optimum: unknown option \"--seed\" \\(allocate-optimum --help"},
      {&kAllocate, {"--csv=yes"}, "^allocate: option --csv takes no value"},
      {&kAllocate, {"--iterations"}, "^allocate: option --iterations needs a value"},
      {&kAllocate, {"--individuals", "  "}, "^allocate: option --individuals needs a value"},
      {&kAllocate,
       {"--seed", "4294967296"},
       "^allocate: --seed \"4294967296\" is not a whole number from 0 to 4294967295"},
      {&kAllocateOptimum,
       {"--file", std::string(260, 'f')},
       "^allocate-optimum: --file \"f+\\.\\.\\.\" is longer than 259 bytes"},
  };
  for (const Row& row : rows) {
    EXPECT_EXIT(Read(*row.program, row.words), testing::ExitedWithCode(kUsageStatus), row.line)
        << row.line;
  }
}

}  // namespace
