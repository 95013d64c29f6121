#pragma once
// The run's life: start-up, and the end sequence every run finishes through, normal or
// stopped. Only the programs' main functions (and the tests' main) use it.
//
//   int main() { StartUp({"allocate", NumberPlace, OwnAccount, ActivityWords}); Run();
//   EndProgram(); }

#include "runtime/program/stop_line.h"

// Registers the end sequence with the stop and the words for the stop line, hands the
// system's faults to the stop, loads the arithmetic setting and marks standard input
// and output closed. Runs before anything else in main.
void StartUp(const StopWords& words);

// Writes the report and the line in words (after pending output) when a stop set an
// error address, closes the standard files and exits with gExitCode. Output lost at a
// normal end still gets its line and a failure status. Async-signal-safe.
[[noreturn]] void EndProgram();
