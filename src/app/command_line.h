#pragma once
// The command line. The program takes its input from function.txt and the console only;
// the first argument may ask for a short usage (--help or -h) or the version (--version),
// printed on standard output through the program's own output stream. Every other
// argument is ignored.
//
//   allocate --version   ->   "allocate 1.0.0" and CR LF, exit 0

// Answers --help, -h or --version in argv[1]. Returns whether it did, so the run is over.
bool AnswerCommandLine(int argc, char** argv);
