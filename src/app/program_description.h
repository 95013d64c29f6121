#pragma once
// What each of the two programs is, stated once: its name, whether it takes the dialogue's
// options, and the words of its usage. main hands it to start-up (the stop line's
// signature), the option reader, the usage and the run, so that every line a program
// writes is signed with the same name.
//
//   kAllocate.name         "allocate"           the dialogue's options and --optimum
//   kAllocateOptimum.name  "allocate-optimum"   --help, -h, --version, --file, --csv and
//                                               the planner's options

#include <span>
#include <string_view>

struct ProgramDescription {
  const char* name;
  bool asksQuestions;  // takes the dialogue's options (--seed, --individuals, --no-wait, ...)
  bool plans;          // takes the planner's options (--budget, --min, ..., planner_options.h)
  // The usage: the lines after its first, what the program does, one line per option.
  std::span<const std::string_view> synopsis;
  std::span<const std::string_view> about;
  std::span<const std::string_view> options;
};

extern const ProgramDescription kAllocate;
extern const ProgramDescription kAllocateOptimum;
