#pragma once
// The answers of the command line: a short usage (--help or -h, which wins) or the
// version (--version), printed on standard output through the program's own output
// stream. The other options (options.h) change the run itself.
//
//   allocate --version   ->   "allocate 1.0.0" and CR LF, exit 0

#include "app/options.h"

// Answers --help, -h or --version. Returns whether it did, so the run is over.
bool AnswerCommandLine(const Options& options);
