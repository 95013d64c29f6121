#pragma once
// What the fuzz targets share: a piece of the program run so that its fatal stop comes
// back to the target instead of ending the fuzzer, and a scripted device behind the
// platform seam (the tests' fake of it).
//
// Stops: while a piece runs, the fake's exit jumps back to RunGuarded with the exit
// status; floating-point traps (SIGFPE) jump back with their si_code. The program itself
// is built unchanged. Each piece runs under the program's own
// floating-point setting; the fuzzer's setting is restored around it, so the fuzzer's own
// arithmetic never traps.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/arith/extended.h"

// The fields of an extended value, as the fuzz input gives them (8 bytes of significand
// with its explicit leading bit, then sign and 15-bit biased exponent) or as the value
// has them.
struct ExtendedParts {
  uint64_t significand;
  int field;  // biased exponent
  bool negative;
};

inline ExtendedParts PartsOfBytes(const uint8_t* bytes) {
  ExtendedParts p;
  std::memcpy(&p.significand, bytes, 8);
  uint16_t top;
  std::memcpy(&top, bytes + 8, 2);
  p.field = top & 0x7FFF;
  p.negative = (top & 0x8000) != 0;
  return p;
}

inline ExtendedParts PartsOf(Extended x) { return {x.Significand(), x.Exponent(), x.Negative()}; }

struct Outcome {
  enum Kind { kReturned, kStopped, kTrapped };
  Kind kind = kReturned;
  int exitCode = 0;  // kStopped: the status the program ends with
  int trapCode = 0;  // kTrapped: si_code of the SIGFPE (FPE_FLTOVF, ...)
};

// Bytes served by the fake device: in chunks of 1 .. 128 bytes chosen by a generator
// seeded from `seed`, and the end reported as 0 bytes. With faults on, some reads (and
// closes) fail with EIO instead.
struct DeviceScript {
  std::string_view data;
  uint64_t seed = 1;
  bool faults = false;
};

// What the fake device saw.
struct DeviceLog {
  size_t delivered = 0;      // bytes handed out so far
  bool endReported = false;  // a read has reported the end of the data
  int readsAfterEnd = 0;     // reads asked for after that
  int faultsInjected = 0;    // reads and closes failed on purpose
  int badRequests = 0;       // reads with a count of 0 or above 128, or an unknown handle
};
DeviceLog Device();

// Fresh program state for one input: no pending code, standard input and output closed,
// the platform replaced by the fake device and an output recorder.
void ResetProgram(const DeviceScript& script);

// What the program wrote to standard output since ResetProgram (up to 64 KiB).
std::string_view RecordedOutput();

// What the program wrote to standard error since ResetProgram.
std::string_view RecordedErrors();

// Runs body; a stop or trap inside it comes back as the outcome. After a stop the program
// state is used up: call ResetProgram before running more of it.
Outcome RunGuarded(void (*body)(void*), void* context);

template <typename F>
Outcome Run(F&& body) {
  return RunGuarded([](void* context) { (*static_cast<F*>(context))(); }, &body);
}

// Ends the fuzz run with a message when a condition fails: a finding.
[[noreturn]] void Fail(const char* what);
inline void Require(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// A stop must have written its report, "Runtime error CCC at XXXXXXXX", NUL, CR LF, last.
void RequireReportFor(const Outcome& outcome);
