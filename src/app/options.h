#pragma once
// The options of the command line, read from a small table before anything else happens.
// Words that do not start with "-" are ignored, and so is every word after "--", which ends
// the options. An option's value is the next argument, whatever it looks like (also "--"),
// or follows "=" in the same one:
//
//   allocate --seed 7 --individuals 10 --iterations=1000 --amplitude -0.01 --csv
//   allocate --seed 7 --trace steps.csv
//   allocate-optimum --file tables/march.txt --csv
//
// allocate takes --help, -h, --version, --file, --csv, the dialogue's options
// (ProgramDescription::asksQuestions: --seed, --show-seed, the three answers, --no-wait)
// and --optimum; allocate-optimum --help, -h, --version, --file, --csv and the planner's
// options (ProgramDescription::plans, planner_options.h), which allocate refuses with a
// line that says to use allocate-optimum. --help, -h and --version are answered whatever
// else the command line holds.
// Otherwise an option the program does not take, an option without its value (or with an
// empty one), a flag given a value, a --seed that is not a whole number from 0 to
// 4294967295, a --file name longer than 259 bytes, or a planner's value that is not one
// ends the run at once: one line on standard error, no report line, exit status 64. The
// answers are kept as text, to be read later by the rules of typed answers.

#include <cstdint>

#include "app/planner_options.h"
#include "app/program_description.h"
#include "runtime/core/checked.h"

struct Options {
  bool help = false;
  bool version = false;
  bool seedGiven = false;
  uint32_t seed = 0;
  bool showSeed = false;
  const char* file = nullptr;  // nullptr: function.txt in the working directory
  // The answers to questions 1..3 as given; nullptr: the question is asked.
  CheckedArray<const char*, 1, 3> answers = {{nullptr, nullptr, nullptr}};
  bool noWait = false;
  bool csv = false;
  bool optimum = false;   // allocate: the exact optimum after the report
  bool frontier = false;  // allocate-optimum: the best of each total of ninths
  PlannerOptions planner;
  const char* trace = nullptr;  // --trace: the file of the convergence trace

  const char* TableFile() const { return file != nullptr ? file : "function.txt"; }
};

// The options of argv[1..argc-1] that the program takes; a bad one stops the run with 64
// and does not return.
Options ReadOptions(int argc, char** argv, const ProgramDescription& program);

// The exit status of a bad command line.
inline constexpr int kUsageStatus = 64;
