#include "app/program_description.h"

namespace {

constexpr std::string_view kAllocateSynopsis[] = {
    "       allocate [--seed N] [--show-seed] [--file PATH] [--individuals N]",
    "                [--iterations N] [--amplitude X] [--no-wait] [--csv] [--optimum]",
    "                [--trace FILE]",
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

constexpr std::string_view kAllocateOptions[] = {
    "  --seed N           start the random source from N (0 to 4294967295), not the clock",
    "  --show-seed        write \"allocate: seed N\" on standard error",
    "  --file PATH        read the table from PATH instead of function.txt",
    "  --individuals N    answer question 1 (it is then not asked)",
    "  --iterations N     answer question 2",
    "  --amplitude X      answer question 3",
    "  --no-wait          end after the report, without waiting for ENTER",
    "  --csv              the report as comma-separated values, LF line ends; no wait",
    "  --optimum          after the report, the exact best profit and how far the",
    "                     population's best falls short of it (with --csv, a last line)",
    "  --trace FILE       write the best and the mean profit by step to FILE (CSV)",
};

constexpr std::string_view kOptimumSynopsis[] = {
    "       allocate-optimum [--file PATH] [--csv] [--budget AMOUNT] [--min P=X]",
    "                        [--max P=X] [--lock P=X] [--current S1,...,S8] [--frontier]",
};

constexpr std::string_view kOptimumOptions[] = {
    "  --file PATH        read the table from PATH instead of function.txt",
    "  --csv              the best allocation as comma-separated values, LF line ends",
    "  --budget AMOUNT    the budget in money: a table of the projects' amounts to the cent",
    "  --min P=X          project P (1 to 8) gets at least X: a share from 0 to 1, or an",
    "                     amount with --budget; the best allocation within the bounds",
    "  --max P=X          project P gets at most X",
    "  --lock P=X         project P gets exactly X",
    "  --current S1,...,S8  the split as it stands (shares adding up to 1, or amounts",
    "                     adding up to the budget, within 0.1 %): its profit and the gain",
    "  --frontier         the best allocation of each total of 0/9 to 9/9 of the budget,",
    "                     and what one more ninth adds to each project",
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

}  // namespace

const ProgramDescription kAllocate = {"allocate",        true,           false,
                                      kAllocateSynopsis, kAllocateAbout, kAllocateOptions};
const ProgramDescription kAllocateOptimum = {"allocate-optimum", false,         true,
                                             kOptimumSynopsis,   kOptimumAbout, kOptimumOptions};
