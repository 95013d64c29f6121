#pragma once
// The command line of both programs. Each takes its input from function.txt (and allocate
// also from the console) only; the first argument may ask for a short usage (--help or -h)
// or the version (--version), printed on standard output through the program's own output
// stream. Every other argument is ignored. The usage ends by naming the manual: the
// manual page, or where the build ships the manuals as text files (the Windows zip), the
// file beside the program.
//
//   allocate --version           ->   "allocate 1.0.0" and CR LF, exit 0
//   allocate-optimum --version   ->   "allocate-optimum 1.0.0" and CR LF, exit 0
//   allocate --help              ->   "Usage: allocate [--help | --version]", ...,
//                                     "Manual page: man allocate (docs/allocate.1 in the sources)."

// Answers --help, -h or --version in argv[1] for allocate. Returns whether it did, so the
// run is over.
bool AnswerCommandLine(int argc, char** argv);

// The same for allocate-optimum.
bool AnswerOptimumCommandLine(int argc, char** argv);
