#include "app/command_line.h"

#include <span>
#include <string_view>

#include "app/write_line.h"
#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"

namespace {

// What --help and --version say for one program; the usage's first line and its last
// (the manual) follow from the name.
struct ProgramText {
  std::string_view name;
  std::span<const std::string_view> about;
};

constexpr std::string_view kAllocateAbout[] = {
    "Shares a budget among 8 projects with a genetic search.",
    "Reads the profits of the 8 projects at 10 investment levels (80 numbers) from",
    "function.txt in the working directory, then asks on standard input for the number",
    "of individuals (at most 20), the number of iterations and the mutation amplitude.",
    "The figures in parentheses after the questions are suggestions to type, not",
    "defaults: an empty line is skipped, and the question waits for a number.",
    "Prints every individual of the final population with its profit and its 8 shares,",
    "then the maximum profit, and waits for ENTER.",
    "On a failure it prints a report line, says on standard error what went wrong, and",
    "exits with the error code.",
    "allocate-optimum prints the exact best allocation of the same table.",
};

constexpr std::string_view kOptimumAbout[] = {
    "Prints the exact best allocation of a budget among 8 projects.",
    "Reads the profits of the 8 projects at 10 investment levels (80 numbers) from",
    "function.txt in the working directory, as allocate does, and prints the shares",
    "with the highest total profit and that profit, in the layout of allocate's report.",
    "It asks nothing and does not wait, so scripts can use it.",
    "On a failure it prints a report line, says on standard error what went wrong, and",
    "exits with the error code.",
};

void EndLine() {
  WriteLineEnd();
  CheckIOResult();
}

void WriteUsage(const ProgramText& program) {
  WriteText("Usage: ");
  WriteText(program.name);
  WriteText(" [--help | --version]");
  EndLine();
  for (std::string_view line : program.about) WriteLine(line);
#ifdef ALLOCATE_TEXT_MANUALS
  WriteText("Manual: ");
  WriteText(program.name);
  WriteText(".txt, in the folder of ");
  WriteText(program.name);
  WriteText(".exe.");
#else
  WriteText("Manual page: man ");
  WriteText(program.name);
  WriteText(" (docs/");
  WriteText(program.name);
  WriteText(".1 in the sources).");
#endif
  EndLine();
}

bool Answer(const ProgramText& program, int argc, char** argv) {
  if (argc < 2) return false;
  std::string_view first = argv[1];
  if (first == "--help" || first == "-h") {
    WriteUsage(program);
    return true;
  }
  if (first == "--version") {
    WriteText(program.name);
    WriteText(" ");
    WriteText(ALLOCATE_VERSION);
    EndLine();
    return true;
  }
  return false;
}

}  // namespace

bool AnswerCommandLine(int argc, char** argv) {
  return Answer({"allocate", kAllocateAbout}, argc, argv);
}

bool AnswerOptimumCommandLine(int argc, char** argv) {
  return Answer({"allocate-optimum", kOptimumAbout}, argc, argv);
}
