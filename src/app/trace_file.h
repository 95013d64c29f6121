#pragma once
// The convergence trace that --trace FILE asks for, laid out in report.h: CSV with LF
// line ends, the header "step,best,mean", then one row per step the TraceSchedule picks
// (the state before the first step is step 0), the best and the mean profit of the
// population in the fewest digits that read back as the same float, as --csv writes them:
//
//   step,best,mean
//   0,95.72685,91.585976
//   1,96.589836,93.121185
//   ...
//   1000,100.22658,100.18102
//
// An empty population gives empty fields ("3,,"). The file is opened before the run; one
// that cannot be written ends it at once, like a bad command line: one line on standard
// error naming it, exit status 64. Each row is written as soon as it is known, so another
// program can follow the run. Writing it changes nothing else: the rows are computed
// where the run would compute those profits anyway, the row of the final state only
// after the report. A write that fails later loses the rest of the trace and is noted in
// one line on standard error at the end; the run's output and exit status stay as they are.

#include <cstdint>

#include "app/program_description.h"
#include "search/population.h"

// Opens (creates or empties) the file and writes the header; stops with 64 when it cannot,
// the line signed with the program's name.
void OpenTrace(const ProgramDescription& program, const char* name);

// The run takes this many steps; called once before the first, whatever the count.
void StartTrace(uint32_t steps);

// Before step done + 1: the row of the state after `done` steps, when the schedule picks it.
void TraceBeforeStep(uint32_t done, const Population& population);

// After the report: the row of the final state, then the file is closed.
void FinishTrace(const Population& population);
