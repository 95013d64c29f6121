// The command line of both programs: --help, -h and --version answer on standard output
// in the system's own lines (LF, CR LF on Windows) and end the run, whatever else the
// command line holds; words that do not start with "-", and every word after "--", change
// nothing. The other options: options_run_test.
#include <gtest/gtest.h>

#include <regex>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

// The system's line end, as a script there compares lines: LF, or CR LF on Windows.
const std::string kEnd = UnderWine() ? "\r\n" : "\n";

// The usage's last line: the manual page, or under Wine (the Windows zip) the text file
// beside the program.
std::string ManualLine(const std::string& name) {
  return UnderWine()
             ? "Manual: " + name + "\\.txt, in the folder of " + name + "\\.exe\\." + kEnd
             : "Manual page: man " + name + " \\(docs/" + name + "\\.1 in the sources\\)\\." + kEnd;
}

TEST(CommandLine, HelpAndVersionPrintAndExitZero) {
  // Any line of text: no CR inside it on Linux either.
  const std::string anyLines = "([^\r\n]+" + kEnd + ")*";
  struct Row {
    Program program;
    std::vector<std::string> arguments;
    std::string pattern;  // the whole output
  } rows[] = {
      {Program::kAllocate, {"--version"}, "allocate " ALLOCATE_VERSION + kEnd},
      {Program::kOptimum, {"--version"}, "allocate-optimum " ALLOCATE_VERSION + kEnd},
      {Program::kAllocate,
       {"--help"},
       "Usage: allocate \\[--help \\| --version\\]" + kEnd + anyLines + ManualLine("allocate")},
      {Program::kAllocate,
       {"-h", "--version"},
       "Usage: allocate \\[--help \\| --version\\]" + kEnd + anyLines + ManualLine("allocate")},
      {Program::kOptimum,
       {"--help"},
       "Usage: allocate-optimum \\[--help \\| --version\\]" + kEnd + anyLines +
           ManualLine("allocate-optimum")},
      {Program::kOptimum,
       {"-h", "--bogus"},
       "Usage: allocate-optimum \\[--help \\| --version\\]" + kEnd + anyLines +
           ManualLine("allocate-optimum")},
      // A newcomer took the prompts' figures for defaults and pressed ENTER.
      {Program::kAllocate,
       {"--help"},
       anyLines + "The figures in parentheses after the questions are suggestions to type, not" +
           kEnd + "defaults: an empty line is skipped, and the question waits for a number\\." +
           kEnd + anyLines},
      {Program::kAllocate,
       {"--version", "--help"},
       "Usage: allocate \\[--help \\| --version\\]" + kEnd + anyLines + ManualLine("allocate")},
      {Program::kAllocate,
       {"", "--help"},
       "Usage: allocate \\[--help \\| --version\\]" + kEnd + anyLines + "  --seed N .*" + kEnd +
           anyLines + "  --csv .*" + kEnd + anyLines + ManualLine("allocate")},
      {Program::kAllocate, {"--seed", "1", "--version"}, "allocate " ALLOCATE_VERSION + kEnd},
      // A bad option beside them is not judged.
      {Program::kAllocate,
       {"--bogus", "-h"},
       "Usage: allocate \\[--help \\| --version\\]" + kEnd + anyLines + ManualLine("allocate")},
      {Program::kOptimum,
       {"--csv", "-h"},
       "Usage: allocate-optimum \\[--help \\| --version\\]" + kEnd + anyLines + "  --file PATH .*" +
           kEnd + anyLines + ManualLine("allocate-optimum")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments[0] + (row.program == Program::kOptimum ? " (optimum)" : ""));
    Workdir dir;  // no function.txt: the table is not read
    Outcome o = RunProgram(dir, {.input = "3\n0\n0.01\n\n",
                                 .clock = 0,
                                 .arguments = row.arguments,
                                 .program = row.program});
    EXPECT_FALSE(o.timedOut);
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(std::regex_match(o.out, std::regex(row.pattern))) << o.out;
  }
  EXPECT_TRUE(std::regex_match(ALLOCATE_VERSION, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+")));
}

// Each usage lists the program's own options and no other.
TEST(CommandLine, EachUsageListsItsProgramsOptions) {
  struct Row {
    Program program;
    std::vector<std::string> listed;
    std::vector<std::string> absent;
  } const rows[] = {
      {Program::kAllocate,
       {"--seed N", "--show-seed", "--file PATH", "--individuals N", "--iterations N",
        "--amplitude X", "--no-wait", "--csv", "--optimum"},
       {"--budget", "--min", "--max", "--lock", "--current", "--frontier"}},
      {Program::kOptimum,
       {"--file PATH", "--csv", "--budget AMOUNT", "--min P=X", "--max P=X", "--lock P=X",
        "--current S1,...,S8", "--frontier"},
       {"--seed", "--show-seed", "--individuals", "--iterations", "--amplitude", "--no-wait",
        "--optimum"}},
  };
  for (const Row& row : rows) {
    Workdir dir;
    Outcome o = RunProgram(dir, {.arguments = {"--help"}, .program = row.program});
    EXPECT_EQ(o.exitCode, 0);
    for (const std::string& option : row.listed)
      EXPECT_NE(o.out.find(kEnd + "  " + option + " "), std::string::npos) << option;
    for (const std::string& option : row.absent)
      EXPECT_EQ(o.out.find(option), std::string::npos) << option;
  }
}

// "--" ends the options, as for any Unix tool: what follows is plain words, whatever it
// looks like (a help, a bad option, another seed, a second "--").
TEST(CommandLine, OtherArgumentsAreIgnored) {
  for (std::vector<std::string> arguments : {std::vector<std::string>{"function.txt"},
                                             {""},
                                             {"other.txt", "+5"},
                                             {"--"},
                                             {"--", "-h"},
                                             {"--", "--bogus", "--version"},
                                             {"--", "--seed", "5", "--csv", "--"},
                                             {"words", "--", "-"}}) {
    SCOPED_TRACE(arguments[0] + (arguments.size() > 1 ? " " + arguments[1] : ""));
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    Outcome o = RunProgram(dir, {.input = "3\n0\n0.01\n\n", .clock = 0, .arguments = arguments});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, WorkedRunAfterNoStep());
    Outcome optimum = RunProgram(dir, {.arguments = arguments, .program = Program::kOptimum});
    EXPECT_EQ(optimum.exitCode, 0);
    EXPECT_EQ(optimum.out, RunProgram(dir, {.program = Program::kOptimum}).out);
  }
}

// Output lost at the normal end still changes the exit status and says why on standard
// error, without a report line.
TEST(CommandLine, VersionIntoAFullDevice) {
  for (Program program : {Program::kAllocate, Program::kOptimum}) {
    Workdir dir;
    Outcome o =
        RunProgram(dir, {.out = Stdout::kDevFull, .arguments = {"--version"}, .program = program});
    EXPECT_EQ(o.exitCode, kDiskFull);
    std::string name = program == Program::kAllocate ? "allocate" : "allocate-optimum";
    EXPECT_EQ(o.err, ErrorLine(name + ": cannot write standard output: " +
                               SystemText("No space left on device", "Disk full")));
  }
}

}  // namespace
}  // namespace e2e
