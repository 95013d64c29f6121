// The options that make a run repeatable and scriptable, seen from outside: answers given
// as options against the same answers typed, the seed, the table by path, no wait, the
// CSV output read back against the report, and every bad command line (exit 64, one
// line on standard error, nothing read).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "program_run.h"
#include "worked_run.h"

namespace e2e {
namespace {

// Files and folders a test puts beside function.txt, removed again with it.
class ExtraFiles {
 public:
  explicit ExtraFiles(const Workdir& dir) : dir_(dir) {}
  ~ExtraFiles() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      if (unlink(it->c_str()) != 0) rmdir(it->c_str());
    }
  }
  bool Folder(const std::string& name) {
    made_.push_back(dir_.Path() + "/" + name);
    return mkdir(made_.back().c_str(), 0755) == 0;
  }
  bool File(const std::string& name, std::string_view bytes) {
    made_.push_back(dir_.Path() + "/" + name);
    int fd = open(made_.back().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool whole = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return close(fd) == 0 && whole;
  }

 private:
  const Workdir& dir_;
  std::vector<std::string> made_;
};

std::string Without(std::string text, std::string_view part) {
  size_t at = text.find(part);
  if (at != std::string::npos) text.erase(at, part.size());
  return text;
}

// A whole run with the answers typed, clock fixed to the seed, and the same run with some
// or all answers given as options and --seed: the option run shows the same bytes, less
// the prompts of the questions it did not ask.
TEST(Options, AnswersGivenAsOptionsGiveTheTypedRun) {
  struct Row {
    const char* name;
    uint32_t seed;
    std::string answers[3];
    bool given[3];
  } const rows[] = {
      {"all three", 0, {"3", "2", "0.01"}, {true, true, true}},
      {"all three, other seed", 987654321, {"10", "1000", "0.01"}, {true, true, true}},
      {"the count cut to 8 bits, hexadecimal", 5, {"266", "$10", "1E-2"}, {true, true, true}},
      {"text after the number", 7, {"4 abc", "3\tx", "0.02 y"}, {true, true, true}},
      {"-1 iterations is 65535", 11, {"2", "-1", "0.01"}, {true, true, true}},
      {"only the iterations", 3, {"3", "20", "0.01"}, {false, true, false}},
      {"count and amplitude", 4, {"5", "7", "0.05"}, {true, false, true}},
      {"the largest seed", 4294967295u, {"6", "30", "0.01"}, {true, true, true}},
      {"values longer than the channel's block of 128 bytes",
       8,
       {std::string(130, ' ') + "3", "2 " + std::string(200, 'x'), "0.01"},
       {true, true, true}},
  };
  const std::string_view prompts[3] = {kCountPrompt, kIterationsPrompt, kAmplitudePrompt};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    std::string typed;
    for (const std::string& answer : row.answers) typed += answer + "\n";
    Outcome asTyped = RunProgram(dir, {.input = typed + "\n", .clock = row.seed});
    ASSERT_EQ(asTyped.exitCode, 0);

    std::vector<std::string> arguments = {"--seed", std::to_string(row.seed)};
    std::string stillTyped;
    std::string expected = asTyped.out;
    const char* names[3] = {"--individuals", "--iterations", "--amplitude"};
    for (int q = 0; q < 3; ++q) {
      if (row.given[q]) {
        arguments.insert(arguments.end(), {names[q], row.answers[q]});
        expected = Without(expected, prompts[q]);
      } else {
        stillTyped += row.answers[q] + "\n";
      }
    }
    Outcome byOption = RunProgram(dir, {.input = stillTyped + "\n", .arguments = arguments});
    EXPECT_EQ(byOption.exitCode, 0);
    EXPECT_EQ(byOption.err, "");
    EXPECT_EQ(byOption.out, expected);
  }
}

// Two runs with one seed are the same, and that seed gives the run of the fixed clock:
// the worked run, on every build. --show-seed says the seed, fixed or from the clock.
TEST(Options, OneSeedOneRun) {
  Workdir dir;
  ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
  RunSetup setup = {.input = "3\n2\n0.01\n\n", .arguments = {"--seed", "0"}};
  Outcome first = RunProgram(dir, setup);
  Outcome second = RunProgram(dir, setup);
  EXPECT_EQ(first.out, WorkedRunAfterTwoSteps());
  EXPECT_EQ(second.out, first.out);
  // Options before "--" count, none after it.
  setup.arguments = {"--seed", "0", "--", "--seed", "5", "--csv"};
  EXPECT_EQ(RunProgram(dir, setup).out, first.out);

  setup.arguments = {"--show-seed", "--seed=4294967295"};
  Outcome shown = RunProgram(dir, setup);
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_EQ(shown.err, ErrorLine("allocate: seed 4294967295"));

  Outcome fromClock = RunProgram(
      dir, {.input = "3\n2\n0.01\n\n", .clock = 123456789, .arguments = {"--show-seed"}});
  EXPECT_EQ(fromClock.err, ErrorLine("allocate: seed 123456789"));
  Outcome repeated =
      RunProgram(dir, {.input = "3\n2\n0.01\n\n", .arguments = {"--seed", "123456789"}});
  EXPECT_EQ(repeated.out, fromClock.out);
}

TEST(Options, TableGivenByPath) {
  Workdir dir;
  ExtraFiles extra(dir);
  ASSERT_TRUE(extra.Folder("tables"));
  ASSERT_TRUE(extra.File("tables/worked.txt", WorkedTable()));
  ASSERT_TRUE(extra.Folder("folder"));
  // No function.txt: only the named table is read.
  for (const char* path : {"tables/worked.txt", "./tables/../tables/worked.txt"}) {
    SCOPED_TRACE(path);
    Outcome o =
        RunProgram(dir, {.input = "3\n2\n0.01\n\n", .clock = 0, .arguments = {"--file", path}});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, WorkedRunAfterTwoSteps());
  }
  struct Row {
    const char* path;
    int code;
    std::string err;
  } const rows[] = {
      {"missing.txt", 2,
       "allocate: cannot open missing.txt: " +
           SystemText("No such file or directory", "File not found") +
           " (looked for in the working directory)"},
      {"tables/missing.txt", 2,
       "allocate: cannot open tables/missing.txt: " +
           SystemText("No such file or directory", "File not found")},
      {"folder", kIsADirectory,
       UnderWine() ? "allocate: cannot open folder: Access denied"
                   : "allocate: cannot read folder: Is a directory"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    Outcome o =
        RunProgram(dir, {.input = "3\n2\n0.01\n\n", .clock = 0, .arguments = {"--file", row.path}});
    EXPECT_TRUE(EndsWithReport(o.out, "", row.code));
    EXPECT_EQ(o.exitCode, row.code);
    EXPECT_EQ(o.err, ErrorLine(row.err));
  }
  // A name that would break the line or reach the terminal as a command is quoted as
  // option values are, wherever a line names it. (Windows refuses such names outright.)
  const std::string escape = "t\x1B[2Jx.txt", escapeShown = "\"t\\x1B[2Jx.txt\"";
  ASSERT_TRUE(extra.File(escape, "1 2 3"));
  ASSERT_TRUE(extra.File("bad\nname", "1 1,5"));
  struct Named {
    std::string path;
    int code;
    std::string err;
  } const named[] = {
      {"bad\nname", 106, "allocate: \"bad\\x0Aname\", project 1, level 1: \"1,5\" is not a number"},
      {escape, 0,
       "allocate: " + escapeShown + " holds 3 numbers; the other 77 entries are taken as 0"},
      {"missing\rname", 2,
       "allocate: cannot open \"missing\\x0Dname\": " +
           SystemText("No such file or directory", "File not found") +
           " (looked for in the working directory)"},
  };
  for (const Named& row : named) {
    SCOPED_TRACE(row.path);
    if (UnderWine()) continue;
    Outcome o = RunProgram(
        dir,
        {.input = "3\n2\n0.01\n\n", .clock = 0, .arguments = {"--file", row.path, "--no-wait"}});
    EXPECT_EQ(o.exitCode, row.code);
    EXPECT_EQ(o.err, ErrorLine(row.err));
  }
  // allocate-optimum reads the same table by path.
  Outcome optimum =
      RunProgram(dir, {.arguments = {"--file", "tables/worked.txt"}, .program = Program::kOptimum});
  EXPECT_EQ(optimum.exitCode, 0);
  EXPECT_TRUE(optimum.out.starts_with("Exact optimum:\r\nH:1 F:115.000 ")) << optimum.out;
}

// Answers given as options meet the stops of typed answers, with lines that name the
// option; the questions before a bad one are asked as usual.
TEST(Options, BadAnswersStopAsTypedOnesDo) {
  struct Row {
    std::vector<std::string> arguments;
    std::string input;
    std::string before;  // output before the report line
    int code;
    std::string err;
  } const rows[] = {
      {{"--individuals", "10abc"},
       "",
       "",
       106,
       "allocate: value of --individuals: \"10abc\" is not an integer from -2147483648 to "
       "2147483647"},
      {{"--iterations", "2147483648"},
       "3\n",
       std::string(kCountPrompt),
       106,
       "allocate: value of --iterations: \"2147483648\" is not an integer from -2147483648 to "
       "2147483647"},
      {{"--amplitude", "1,5"},
       "3\n2\n",
       std::string(kCountPrompt) + std::string(kIterationsPrompt),
       106,
       "allocate: value of --amplitude: \"1,5\" is not a number"},
      {{"--amplitude", std::string(65, '1')},
       "3\n2\n",
       std::string(kCountPrompt) + std::string(kIterationsPrompt),
       106,
       "allocate: value of --amplitude: \"1111111111111111...\" is longer than 64 characters"},
      {{"--individuals", "$" + std::string(32, '0')},
       "",
       "",
       106,
       "allocate: value of --individuals: \"$000000000000000...\" is longer than 32 characters"},
      {{"--amplitude", "1e39", "--individuals", "3", "--iterations", "0"},
       "",
       "",
       205,
       "allocate: value of --amplitude: \"1e39\" is beyond the single-precision range (about "
       "3.4E+38)"},
      // With --csv the prompts go to standard error, before the stop's line.
      {{"--individuals", "21", "--csv"},
       "0\n0.01\n",
       "",
       201,
       std::string(kIterationsPrompt) + std::string(kAmplitudePrompt) +
           "allocate: 21 individuals asked for, but the population holds at most 20; give "
           "--individuals 20 or less"},
      {{"--individuals", "-1", "--iterations", "0", "--amplitude", "0"},
       "",
       "",
       201,
       "allocate: \"-1\" individuals asked for, taken as 255 (only the low 8 bits count), but "
       "the population holds at most 20; give --individuals 20 or less"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments[1]);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
    Outcome o = RunProgram(dir, {.input = row.input, .clock = 0, .arguments = row.arguments});
    EXPECT_TRUE(EndsWithReport(o.out, row.before, row.code));
    EXPECT_EQ(o.exitCode, row.code);
    EXPECT_EQ(o.err, ErrorLine(row.err));
  }
}

// A bad command line stops before the table or standard input is read (there is no
// table here, and the input is a file whose offset stays 0), with one line and 64.
TEST(Options, BadCommandLinesEndWith64) {
  const std::string hint = " (allocate --help lists the options)";
  struct Row {
    std::vector<std::string> arguments;
    std::string err;
    Program program = Program::kAllocate;
  } const rows[] = {
      {{"--bogus"}, "allocate: unknown option \"--bogus\"" + hint},
      {{"-help"}, "allocate: unknown option \"-help\"" + hint},
      {{"-"}, "allocate: unknown option \"-\"" + hint},
      {{"--SEED", "1"}, "allocate: unknown option \"--SEED\"" + hint},
      {{"--seed"}, "allocate: option --seed needs a value" + hint},
      {{"--individuals", "3", "--amplitude"}, "allocate: option --amplitude needs a value" + hint},
      {{"--seed="}, "allocate: option --seed needs a value" + hint},
      {{"--file", ""}, "allocate: option --file needs a value" + hint},
      {{"--iterations", " \t"}, "allocate: option --iterations needs a value" + hint},
      {{"--csv=yes"}, "allocate: option --csv takes no value" + hint},
      {{"--no-wait", "--show-seed=1"}, "allocate: option --show-seed takes no value" + hint},
      {{"--seed", "-1"},
       "allocate: --seed \"-1\" is not a whole number from 0 to 4294967295" + hint},
      {{"--seed", "4294967296"},
       "allocate: --seed \"4294967296\" is not a whole number from 0 to 4294967295" + hint},
      {{"--seed", "$10"},
       "allocate: --seed \"$10\" is not a whole number from 0 to 4294967295" + hint},
      {{"--seed", "1.0"},
       "allocate: --seed \"1.0\" is not a whole number from 0 to 4294967295" + hint},
      {{"--seed", " 7"},
       "allocate: --seed \"\\x207\" is not a whole number from 0 to 4294967295" + hint},
      {{"--seed", "99999999999999999999999999999999999999999999"},
       "allocate: --seed \"9999999999999999999999999999999999999999...\" is not a whole "
       "number from 0 to 4294967295" +
           hint},
      {{"--file", std::string(260, 'f')},
       "allocate: --file \"ffffffffffffffffffffffffffffffffffffffff...\" is longer than 259 "
       "bytes" +
           hint},
      // The first fault is the one named.
      {{"--bogus", "--seed", "x"}, "allocate: unknown option \"--bogus\"" + hint},
      // "--" ends the options, not their judging before it; as a value it is a value.
      {{"--bogus", "--", "--csv"}, "allocate: unknown option \"--bogus\"" + hint},
      {{"--seed", "--"},
       "allocate: --seed \"--\" is not a whole number from 0 to 4294967295" + hint},
      {{"---"}, "allocate: unknown option \"---\"" + hint},
      {{"--seed", "1"},
       "allocate-optimum: unknown option \"--seed\" (allocate-optimum --help lists the "
       "options)",
       Program::kOptimum},
      {{"--csv", "--no-wait"},
       "allocate-optimum: unknown option \"--no-wait\" (allocate-optimum --help lists the "
       "options)",
       Program::kOptimum},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments[0] + (row.arguments.size() > 1 ? " " + row.arguments[1] : ""));
    Workdir dir;
    Outcome o = RunProgram(dir, {.input = "3\n2\n0.01\n\n",
                                 .in = Stdin::kFile,
                                 .arguments = row.arguments,
                                 .program = row.program});
    EXPECT_EQ(o.exitCode, 64);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, ErrorLine(row.err));
    EXPECT_EQ(o.inputOffset, 0);
  }
}

// --no-wait ends after the report: no last line, and the input stays open unread.
TEST(Options, NoWaitEndsAfterTheReport) {
  Workdir dir;
  ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
  Outcome o = RunProgram(dir, {.input = "3\n2\n0.01\n",
                               .clock = 0,
                               .keepInputOpen = true,
                               .timeoutMs = 10000,
                               .arguments = {"--no-wait"}});
  EXPECT_FALSE(o.timedOut);
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_EQ(o.out, Without(WorkedRunAfterTwoSteps(), "Press ENTER to exit.\r\n"));
}

// A number of the CSV: it must read whole as a float.
float CsvNumber(const std::string& field) {
  char* end = nullptr;
  float value = std::strtof(field.c_str(), &end);
  EXPECT_TRUE(!field.empty() && *end == '\0') << '"' << field << '"';
  return value;
}

// The figures of a report line ("H:1 F:106.678 W:0.000 ...") or a CSV line, each as the
// text shown: number, profit, 8 shares.
std::vector<std::string> ReportFigures(const std::string& line) {
  std::vector<std::string> figures;
  std::istringstream in(line);
  std::string word;
  while (in >> word) {
    if (word.starts_with("H:") || word.starts_with("F:") || word.starts_with("W:"))
      word = word.substr(2);
    if (!word.empty()) figures.push_back(word);
  }
  return figures;
}

// Reads the CSV back and holds each of its numbers against the report of the same run:
// equal to the report's 3 decimals (or its 2 significant digits in exponent form).
void ExpectCsvMatchesReport(const std::string& csv, const std::string& report, size_t individuals) {
  ASSERT_EQ(csv.find('\r'), std::string::npos);
  ASSERT_TRUE(csv.ends_with("\n"));
  std::vector<std::string> lines = Split(csv, '\n');
  ASSERT_EQ(lines.size(), individuals + 1) << csv;
  EXPECT_EQ(lines[0], "individual,profit,share1,share2,share3,share4,share5,share6,share7,share8");
  std::vector<std::string> reportLines = Split(report, '\n');
  for (size_t i = 1; i <= individuals; ++i) {
    SCOPED_TRACE(lines[i]);
    std::vector<std::string> fields = Split(lines[i], ',');
    std::vector<std::string> shown = ReportFigures(reportLines[i]);
    ASSERT_EQ(fields.size(), 10u);
    ASSERT_EQ(shown.size(), 10u) << reportLines[i];
    EXPECT_EQ(fields[0], std::to_string(i));
    EXPECT_EQ(fields[0], shown[0]);
    for (size_t f = 1; f < 10; ++f) {
      double value = CsvNumber(fields[f]);
      double figure = std::strtod(shown[f].c_str(), nullptr);
      bool exponentForm = shown[f].find('E') != std::string::npos;
      double tolerance = exponentForm ? std::fabs(figure) * 0.05 : 0.0005 + 1e-9;
      EXPECT_LE(std::fabs(value - figure), tolerance) << fields[f] << " vs " << shown[f];
    }
  }
}

std::string ManyTimes(const char* entry) {
  std::string text;
  for (int n = 0; n < 80; ++n) text += std::string(entry) + " ";
  return text;
}

TEST(Options, CsvReadsBackAsTheReport) {
  struct Row {
    const char* name;
    std::string table;
    std::string count;
    std::string iterations;
  } const rows[] = {
      {"worked table", WorkedTable(), "3", "2"},
      {"twenty individuals, many steps", WorkedTable(), "20", "500"},
      {"profits in exponent form", ManyTimes("1.5e37"), "4", "3"},
      {"small profits", ManyTimes("0.00001234"), "4", "3"},
      {"losses", ManyTimes("-7.25"), "2", "1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Workdir dir;
    ASSERT_TRUE(dir.WriteFunction(row.table));
    std::vector<std::string> answers = {"--individuals", row.count,     "--iterations",
                                        row.iterations,  "--amplitude", "0.01"};
    std::vector<std::string> withSeed = answers;
    withSeed.insert(withSeed.end(), {"--seed", "42", "--no-wait"});
    Outcome report = RunProgram(dir, {.arguments = withSeed});
    ASSERT_EQ(report.exitCode, 0);
    withSeed.push_back("--csv");
    Outcome csv = RunProgram(dir, {.arguments = withSeed});
    EXPECT_EQ(csv.exitCode, 0);
    EXPECT_EQ(csv.err, "");
    ExpectCsvMatchesReport(csv.out, report.out, std::stoul(row.count));
  }
}

// Questions not answered by option are still asked, on standard error, so that standard
// output holds only the CSV; the answers still come from standard input, and the CSV run
// never waits. allocate-optimum's CSV is one line, individual 1.
TEST(Options, CsvWithTypedAnswersAndFromTheOptimum) {
  Workdir dir;
  ASSERT_TRUE(dir.WriteFunction(WorkedTable()));
  Outcome typed = RunProgram(dir, {.input = "3\n2\n0.01\n",
                                   .clock = 0,
                                   .keepInputOpen = true,
                                   .timeoutMs = 10000,
                                   .arguments = {"--csv"}});
  EXPECT_FALSE(typed.timedOut);
  EXPECT_EQ(typed.exitCode, 0);
  EXPECT_EQ(typed.err, AllPrompts());
  ExpectCsvMatchesReport(typed.out, Without(WorkedRunAfterTwoSteps(), AllPrompts()), 3);
  struct Row {
    std::vector<std::string> arguments;
    std::string input;
    std::string prompts;
  } const rows[] = {
      {{"--csv", "--iterations", "2", "--amplitude", "0.01"}, "3\n", std::string(kCountPrompt)},
      {{"--individuals", "3", "--csv", "--amplitude", "0.01"},
       "2\n",
       std::string(kIterationsPrompt)},
      {{"--individuals", "3", "--iterations", "2", "--csv"},
       "0.01\n",
       std::string(kAmplitudePrompt)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.prompts);
    Outcome o = RunProgram(dir, {.input = row.input, .clock = 0, .arguments = row.arguments});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.err, row.prompts);
    EXPECT_EQ(o.out, typed.out);
  }

  Outcome optimumReport = RunProgram(dir, {.program = Program::kOptimum});
  Outcome optimumCsv = RunProgram(dir, {.arguments = {"--csv"}, .program = Program::kOptimum});
  EXPECT_EQ(optimumCsv.exitCode, 0);
  EXPECT_EQ(optimumCsv.out,
            "individual,profit,share1,share2,share3,share4,share5,share6,share7,share8\n"
            "1,115,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,0.11111111,"
            "0.22222222\n");
  ExpectCsvMatchesReport(optimumCsv.out, optimumReport.out, 1);
}

}  // namespace
}  // namespace e2e
