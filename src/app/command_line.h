#pragma once
// The answers of the command line for both programs: a short usage (--help or -h, which
// wins) or the version (--version), printed on standard output through the program's
// own output stream. The usage lists the program's own options (options.h), which change
// the run itself, and ends by naming the manual: the manual page, or where the build
// ships the manuals as text files (the Windows zip), the file beside the program.
//
// Its lines end as the system's own text does, LF (CR LF on Windows), so that a script
// can compare them:
//   allocate --version           ->   "allocate 1.0.0" and LF, exit 0
//   allocate-optimum --version   ->   "allocate-optimum 1.0.0" and LF, exit 0
//   allocate --help              ->   "Usage: allocate [--help | --version]", ...,
//                                     "Manual page: man allocate (docs/allocate.1 in the sources)."

#include "app/options.h"
#include "app/program_description.h"

// Answers --help, -h or --version for the program. Returns whether it did, so the run is
// over.
bool AnswerCommandLine(const ProgramDescription& program, const Options& options);
