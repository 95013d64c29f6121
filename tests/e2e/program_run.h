#pragma once
// Drives a built program (allocate unless the setup names another) as a shell would: a
// fresh working directory with its own function.txt, standard input from a pipe (or a
// file, closed, /dev/null), standard output into a pipe (or closed, /dev/full, a pipe
// nobody reads, a pipe already full) or a pseudo-terminal, and the exit status read at the
// end. Every child
// has a deadline; one that is still running at its deadline is killed and reported as
// timed out, so a hang fails a test instead of blocking the suite.
//
// With ALLOCATE_PROGRAM, OPTIMUM_PROGRAM and ALLOCATE_EMULATOR in the environment
// (absolute paths), the suites run those programs through the emulator instead: the
// Windows build under Wine, another processor's build under qemu-user (QEMU_UNSET_ENV=
// LD_PRELOAD keeps the preloaded clock on the emulator, away from the guest), a
// WebAssembly build under Node (wasm/run.mjs; the clock preloaded into Node is the one the
// module reads).
//
//   Workdir dir;
//   dir.WriteFunction(WorkedTable());
//   Outcome o = RunProgram(dir, {.input = "3\n0\n0.01\n\n", .clock = 0});
//   EXPECT_EQ(o.exitCode, 0);
//
// program_run.cpp holds how: the fork and exec, the pipes and the terminal, the deadline.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report_line.h"
#include "temp_directory.h"

namespace e2e {

using namespace std::string_literals;
using namespace std::string_view_literals;

// Which of the built programs a run starts.
enum class Program { kAllocate, kOptimum };

// The Windows build under Wine. Its codes are the system's error numbers, its clock
// counts in 100 ns, and Wine's console is no terminal: see the suites for what differs.
bool UnderWine();

// A WebAssembly build (a .wasm module, run by wasm/run.mjs under Node). A WASI command has
// no signals and no terminal of its own, and Node gives it descriptors 0 to 2 even where
// the shell closed them: the suites skip those cases by name (docs/wasm.md lists them).
bool UnderWasm();

// Codes that are the system's own error numbers: Linux's, or Windows' as Wine gives them.
inline const int kIsADirectory = UnderWine() ? 5 : 21;  // ERROR_ACCESS_DENIED; EISDIR
inline const int kDiskFull = UnderWine() ? 112 : 28;    // ERROR_DISK_FULL; ENOSPC
// ERROR_PIPE_NOT_CONNECTED (Windows itself may say 232 or 109); EPIPE
inline const int kReaderGone = UnderWine() ? 233 : 32;

// The system's own words for an error, as the line on standard error quotes them.
std::string SystemText(const char* onLinux, const char* onWindows);

// The end of the line for a missing function.txt: where it was looked for, how to name
// another table, and where the sample is (the Debian package's path; in the Windows zip,
// beside the programs).
inline std::string MissingTableAdvice() {
  return std::string(
             " (looked for in the working directory; --file PATH names another; the "
             "sample is ") +
         (UnderWine() ? "examples\\function.txt in the program's folder)"
                      : "/usr/share/doc/allocate/examples/function.txt)");
}

// A line on standard error as the system's tools end it.
std::string ErrorLine(std::string_view text);

void SleepMs(int ms);

// A temporary working directory, removed with what the test put in it.
class Workdir {
 public:
  Workdir() : directory_("allocate-e2e") {}

  const std::string& Path() const { return directory_.Path(); }
  std::string FunctionPath() const { return directory_.PathOf("function.txt"); }

  bool WriteFunction(std::string_view bytes) const;
  bool MakeFunctionDirectory() const;

 private:
  TempDirectory directory_;
};

// kFile: the input bytes in a file whose offset the test reads after the run.
enum class Stdin { kPipe, kClosed, kDevNull, kFile };
// kPipeFull: a pipe filled to the brim before the start, so every write blocks until the
// test reads (Finish does).
enum class Stdout { kPipe, kClosed, kDevFull, kPipeClosedByReader, kPipeFull };

struct RunSetup {
  std::string input = {};  // written to the standard-input pipe
  // The clock the program seeds from, in its own units (nanoseconds of CLOCK_MONOTONIC
  // on Linux, the performance counter's 100 ns under Wine); the real one when unset.
  std::optional<uint64_t> clock = {};
  Stdin in = Stdin::kPipe;
  Stdout out = Stdout::kPipe;
  bool keepInputOpen = false;  // the test sends more, or closes the pipe itself
  int timeoutMs = 20000;
  std::vector<std::string> arguments = {};  // after the program's name
  Program program = Program::kAllocate;
  std::vector<int> ignoredSignals = {};  // ignored at the start, as nohup leaves SIGHUP
};

struct Outcome {
  std::string out;    // standard output (the terminal's screen under a pty)
  std::string err;    // standard error: the line in words after a stop
  int exitCode = -1;  // -1 unless the child exited normally
  int signal = 0;     // the signal that ended it, if any
  bool timedOut = false;
  int64_t inputOffset = -1;  // Stdin::kFile: how far the program read its input
};

// One running program. Output is collected as it comes; the test may send input in
// steps and look at what arrived in between.
class Child {
 public:
  // Standard input and output as the setup says; standard error always a pipe.
  static Child Piped(const Workdir& dir, const RunSetup& setup);

  // Standard input, output and error on one pseudo-terminal. With raw set, the terminal
  // neither echoes nor translates line ends; otherwise it keeps a new terminal's settings.
  static Child InTerminal(const Workdir& dir, const RunSetup& setup, bool raw);

  Child(Child&& other) noexcept { *this = std::move(other); }
  Child& operator=(Child&& other) noexcept;
  ~Child();

  bool Started() const { return pid_ > 0; }
  const std::string& Out() const { return outcome_.out; }

  // Writes bytes as typed or piped; a program that has gone is no error here.
  void Send(std::string_view bytes);

  // Sends a signal to the program (to Wine, which runs it, under Wine).
  void Signal(int signal);

  void CloseInput();

  // Collects output for ms milliseconds (bounded by the deadline), or until text has
  // arrived at the end of what was seen so far. Returns whether it has.
  bool ReadUntil(std::string_view text, int ms);
  void ReadFor(int ms) { ReadUntil({}, ms); }

  // Collects output until at least size bytes have arrived or ms passed.
  bool ReadAtLeast(size_t size, int ms);

  // Whether the program has ended within ms milliseconds.
  bool EndsWithin(int ms);

  // Closes our end of standard input (not under a terminal), collects everything up to
  // the end of output and the exit, and kills the program at the deadline.
  Outcome Finish();

 private:
  Child() = default;

  // One round of poll and read; false when no output stream is left open or ms passed.
  bool Collect(int ms);
  // A terminal's last bytes may still wait in the master after the exit.
  void Drain();
  bool Reap(bool block);

  pid_t pid_ = -1;
  int inputFile_ = -1;
  int inFd_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  bool outDone_ = false;
  bool errDone_ = false;
  bool terminal_ = false;
  bool reaped_ = false;
  int64_t deadline_ = 0;
  Outcome outcome_;
};

Outcome RunProgram(const Workdir& dir, const RunSetup& setup);

// RunProgram in a fresh working directory whose function.txt holds table.
Outcome RunOnTable(std::string_view table, const RunSetup& setup);

// The parts of text between separators ("a,b," gives "a" and "b": no empty last part).
std::vector<std::string> Split(const std::string& text, char separator);

// Exactly `before`, then the report line of a stop with this code, then exactly `after`
// (under a terminal, the line standard error shows there).
::testing::AssertionResult EndsWithReport(const std::string& out, std::string_view before, int code,
                                          std::string_view after = {});

}  // namespace e2e
