#pragma once
// The whole run between start-up and the end sequence: seed the random source, load the
// profit table from "function.txt" in the working directory, ask for the three
// parameters, evolve the population and print it, then wait for ENTER.
//
// A session, answers typed after the colons:
//   Input number of individuals (10):10
//   Input iterations count    (1000):1000
//   Input mutation amplitude  (0.01):0.01
//   Optimal solution:
//   H:1 F:100.220 W:0.111 0.171 0.111 0.119 0.118 0.110 0.138 0.121
//   ...
//     Maximum profit: 100.220
//   Press ENTER to exit.
//
// The count keeps the low 8 bits of its answer (266 gives 10), the iterations the low
// 16 bits (65536 gives 0); no value is refused at the prompt. Every failure stops the
// run through CheckIOResult or a checked index, with its own exit code.

#include "app/options.h"
#include "app/program_description.h"

// Runs the dialogue; returns after the final ENTER (or the end of input). The options
// may fix the seed, name the table, answer questions (which are then not asked), leave
// out the wait, or ask for the report as comma-separated values (report.h), which
// never waits.
void RunDialogue(const ProgramDescription& program, const Options& options);
