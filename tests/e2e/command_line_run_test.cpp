// The command line: --help, -h and --version answer on standard output and end the run;
// words that do not start with "-" change nothing. The other options: options_run_test.
#include <gtest/gtest.h>

#include <regex>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

TEST(CommandLine, HelpAndVersionPrintAndExitZero) {
  struct Row {
    std::vector<std::string> arguments;
    std::string pattern;  // the whole output
  } rows[] = {
      {{"--version"}, "allocate " ALLOCATE_VERSION "\r\n"},
      {{"--help"}, "Usage: allocate \\[--help \\| --version\\]\r\n(.+\r\n)+"},
      {{"-h", "--version"}, "Usage: allocate (.|\r\n)*man allocate(.|\r\n)*"},
      {{"--version", "--help"}, "Usage: allocate (.|\r\n)*man allocate(.|\r\n)*"},
      {{"", "--help"}, "Usage: allocate (.|\r\n)*--seed N(.|\r\n)*--csv(.|\r\n)*"},
      {{"--seed", "1", "--version"}, "allocate " ALLOCATE_VERSION "\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments[0]);
    Workdir dir;  // no function.txt: the table is not read
    Outcome o =
        RunProgram(dir, {.input = "3\n0\n0.01\n\n", .clock = 0, .arguments = row.arguments});
    EXPECT_FALSE(o.timedOut);
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(std::regex_match(o.out, std::regex(row.pattern))) << o.out;
  }
  EXPECT_TRUE(std::regex_match(ALLOCATE_VERSION, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+")));
}

TEST(CommandLine, OtherArgumentsAreIgnored) {
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{"function.txt"}, {""}, {"other.txt", "+5"}}) {
    SCOPED_TRACE(arguments[0]);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    Outcome o = RunProgram(dir, {.input = "3\n0\n0.01\n\n", .clock = 0, .arguments = arguments});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, WorkedRunAfterNoStep());
  }
}

// Output lost at the normal end still changes the exit status and says why on standard
// error, without a report line.
TEST(CommandLine, VersionIntoAFullDevice) {
  Workdir dir;
  Outcome o = RunProgram(dir, {.out = Stdout::kDevFull, .arguments = {"--version"}});
  EXPECT_EQ(o.exitCode, kDiskFull);
  EXPECT_EQ(o.err, ErrorLine("allocate: cannot write standard output: " +
                             SystemText("No space left on device", "Disk full")));
}

}  // namespace
}  // namespace e2e
