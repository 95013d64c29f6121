#include "app/command_line.h"

#include <string_view>

#include "app/write_line.h"
#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"

namespace {

constexpr std::string_view kUsage[] = {
    "Usage: allocate [--help | --version]",
    "Shares a budget among 8 projects with a genetic search.",
    "Reads the profits of the 8 projects at 10 investment levels (80 numbers) from",
    "function.txt in the working directory, then asks on standard input for the number",
    "of individuals (at most 20), the number of iterations and the mutation amplitude.",
    "Prints every individual of the final population with its profit and its 8 shares,",
    "then the maximum profit, and waits for ENTER.",
    "On a failure it prints a report line, says on standard error what went wrong, and",
    "exits with the error code.",
    "allocate-optimum prints the exact best allocation of the same table.",
    "Manual page: man allocate (docs/allocate.1 in the sources).",
};

}  // namespace

bool AnswerCommandLine(int argc, char** argv) {
  if (argc < 2) return false;
  std::string_view first = argv[1];
  if (first == "--help" || first == "-h") {
    for (std::string_view line : kUsage) WriteLine(line);
    return true;
  }
  if (first == "--version") {
    WriteText("allocate ");
    WriteText(ALLOCATE_VERSION);
    WriteLineEnd();
    CheckIOResult();
    return true;
  }
  return false;
}
