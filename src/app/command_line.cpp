#include "app/command_line.h"

#include <string_view>

#include "runtime/fatal.h"
#include "runtime/text_output.h"

namespace {

constexpr std::string_view kUsage[] = {
    "Usage: allocate [--help | --version]",
    "       allocate [--seed N] [--show-seed] [--file PATH] [--individuals N]",
    "                [--iterations N] [--amplitude X] [--no-wait] [--csv]",
    "Shares a budget among 8 projects with a genetic search.",
    "Reads the profits of the 8 projects at 10 investment levels (80 numbers) from",
    "function.txt in the working directory, then asks on standard input for the number",
    "of individuals (at most 20), the number of iterations and the mutation amplitude.",
    "Prints every individual of the final population with its profit and its 8 shares,",
    "then the maximum profit, and waits for ENTER.",
    "On a failure it prints a report line, says on standard error what went wrong, and",
    "exits with the error code.",
    "Options:",
    "  --seed N           start the random source from N (0 to 4294967295), not the clock",
    "  --show-seed        write \"allocate: seed N\" on standard error",
    "  --file PATH        read the table from PATH instead of function.txt",
    "  --individuals N    answer question 1 (it is then not asked)",
    "  --iterations N     answer question 2",
    "  --amplitude X      answer question 3",
    "  --no-wait          end after the report, without waiting for ENTER",
    "  --csv              the report as comma-separated values, LF line ends; no wait",
    "A bad option ends the run with exit status 64.",
    "allocate-optimum prints the exact best allocation of the same table.",
    "Manual page: man allocate (docs/allocate.1 in the sources).",
};

void WriteLine(std::string_view text) {
  WriteText(text);
  WriteLineEnd();
  CheckIOResult();
}

}  // namespace

bool AnswerCommandLine(const Options& options) {
  if (options.help) {
    for (std::string_view line : kUsage) WriteLine(line);
    return true;
  }
  if (options.version) {
    WriteText("allocate ");
    WriteText(ALLOCATE_VERSION);
    WriteLineEnd();
    CheckIOResult();
    return true;
  }
  return false;
}
