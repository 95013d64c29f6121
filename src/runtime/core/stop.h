#pragma once
// The one way the program stops on a failure: a report line on standard output, a line
// in words on standard error (stop_message.h) and the failure's code as exit status.
// Nothing returns errors to callers; input and output operations leave a pending code
// that CheckIOResult turns into a stop.
//
// Report line, 29 characters, a zero byte, then CR LF:
//   "Runtime error 106 at 000ABCDE"   code right-aligned in 3, address as 8 hex digits.

#include <cstdint>

template <typename T, int Lo, int Hi>
struct CheckedArray;

// Process exit status: the code of StopWithError, or the one EndProgram sets when the
// last write-out of a normal end fails.
extern int32_t gExitCode;
extern uint32_t gErrorAddress;   // non-zero: the end sequence writes the report
extern int32_t gInOutRes;        // pending I/O error code; 0 when none is pending

// Hands the system's faults to the stop, loads the floating-point setting and marks
// standard input and output closed. Runs before anything else in main.
void StartUp();

// Stops with the low 8 bits of a pending I/O code (255 where those bits are 0).
// Kept out of line: its return address identifies the failing statement.
[[gnu::noinline]] void CheckIOResult();

[[noreturn, gnu::noinline, gnu::cold]] void RangeCheckFailed();  // code 201

[[noreturn]] void StopWithError(uint8_t code, uint32_t address);

// Writes the report (after pending output) when an error address is set, closes the
// standard files and exits. Async-signal-safe.
[[noreturn]] void EndProgram();

// The 29 characters of the report and its terminating zero byte.
using ReportLine = CheckedArray<char, 0, 29>;
void FormatReport(uint8_t code, uint32_t address, ReportLine& report);

// Exit status for an I/O failure code: its low 8 bits, 255 where those are 0, so a
// failure never looks like success.
constexpr uint8_t FailureStatus(int32_t ioCode) {
  uint8_t low = static_cast<uint8_t>(ioCode & 0xFF);
  return low != 0 ? low : 255;
}
