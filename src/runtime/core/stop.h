#pragma once
// The stop: the one way the run ends on a failure. The path that fails records the
// runtime error code and the code address of the failing statement, then hands control
// to the end sequence that start-up registered (the report line on standard output, a
// line in words on standard error, the code as exit status). Nothing returns errors to
// callers.
//
//   RangeCheckFailed()  ->  gExitCode 201, gErrorAddress the caller's address, then the end
//
// Without a registered end sequence a stop just exits with its code.

#include <cstdint>

// Process exit status: the code of StopWithError, or the one the end sequence sets when
// the last write-out of a normal end fails.
extern int32_t gExitCode;
extern uint32_t gErrorAddress;  // non-zero: the end sequence writes the report

// What stopped the run, as the path that stops says: a check of the program's own, a
// fault the system reported, or a pending input or output failure (core/io_status.h).
enum class StopCause : uint8_t { kNone, kCheck, kFault, kInputOutput };
extern StopCause gStopCause;

// The end sequence: writes what is due and exits. Set once at start-up, before any fault
// handling is installed; async-signal-safe.
using EndSequence = void (*)();
void SetEndSequence(EndSequence end);

// Runs the registered end sequence (or exits with gExitCode).
[[noreturn]] void EndRun();

// Ends the run with this exit status through the end sequence, as a normal end does:
// pending output written, no report line. For a run that ends before it has begun, such
// as on a bad command line.
[[noreturn]] void EndRunWithStatus(int32_t status);

[[noreturn, gnu::noinline, gnu::cold]] void RangeCheckFailed();  // code 201

[[noreturn]] void StopWithError(uint8_t code, uint32_t address,
                                StopCause cause = StopCause::kCheck);

// Exit status for an I/O failure code: its low 8 bits, 255 where those are 0, so a
// failure never looks like success.
constexpr uint8_t FailureStatus(int32_t ioCode) {
  uint8_t low = static_cast<uint8_t>(ioCode & 0xFF);
  return low != 0 ? low : 255;
}
