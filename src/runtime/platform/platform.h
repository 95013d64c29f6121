#pragma once
// The one seam between the program and its operating system. Each system implements it
// once (platform_posix.cpp, platform_windows.cpp, platform_wasi.cpp; the build picks
// one), and no other file under src/ includes a system header.
//
// The input and output operations (standard error's too), the system's words for an error
// number, the seed's clock and the exit go through gPlatform,
// so a test can put a fake in their place; the program itself always runs on
// kSystemPlatform. Every operation returns 0 or the system's own error number (errno on
// Linux, GetLastError on Windows: a missing file is 2 on both) and is async-signal-safe.

#include <cstddef>
#include <cstdint>

// A file descriptor, or a Windows handle (whose significant bits fit in 32).
using PlatformHandle = int32_t;

struct PlatformOperations {
  // An existing file, read-only and shared for reading; never created.
  int (*openForReading)(const char* name, PlatformHandle* handle);
  // The handle of standard input or output; an error when there is none.
  int (*standardInput)(PlatformHandle* handle);
  int (*standardOutput)(PlatformHandle* handle);
  // Whether the standard output handle is the console, rather than a file, a pipe or
  // another device. An error means it cannot serve as standard output at all.
  int (*isConsole)(PlatformHandle handle, bool* console);
  // One read of at most count bytes; *delivered may be fewer, and 0 is the end of the
  // data (a pipe whose writer has gone ends the same way).
  int (*read)(PlatformHandle handle, void* buffer, uint32_t count, uint32_t* delivered);
  // Every byte, retried after interruptions and partial writes.
  int (*write)(PlatformHandle handle, const void* data, uint32_t count);
  int (*close)(PlatformHandle handle);
  // The clock reading the random source is seeded from.
  uint32_t (*seedClock)();
  // Ends the process with this exit status; the system's own never returns.
  void (*exit)(int status);
  // Writes to standard error; a failure is ignored.
  void (*writeErrorStream)(const char* text, size_t count);
  // The system's own message for error number code, NUL-terminated, cut to fit size
  // bytes (strerrordesc_np on Linux, FormatMessageA on Windows without its trailing line
  // end and period).
  void (*errorText)(int code, char* text, size_t size);
  // A file for writing alone, created if missing and emptied if not; others may read it.
  int (*openForWriting)(const char* name, PlatformHandle* handle);
};

extern PlatformOperations gPlatform;
extern const PlatformOperations kSystemPlatform;

[[noreturn]] inline void PlatformExit(int status) {
  gPlatform.exit(status);
  kSystemPlatform.exit(status);
  __builtin_unreachable();
}

// What the program does when its system reports a fault or asks it to end. The seam
// calls these and knows nothing else of the program's stop.
struct FaultResponse {
  // Ends the run with a runtime error code and the fault's code address (as
  // PlatformCodeAddress gives it). Never returns.
  void (*stop)(uint8_t code, uint32_t address);
  // Writes out the output still waiting in the program's buffer.
  void (*writePending)();
  // Puts the arithmetic unit back into the program's setting, called first where the
  // system hands over the faulting unit's state (Windows): that state would fault again.
  void (*resetArithmetic)();
};

// Faults (floating-point traps, bad memory access, stack overflow, illegal instructions)
// and Ctrl-C become response.stop with their code; a request to end from outside (on
// Linux every other signal whose default action ends the process: SIGTERM, SIGHUP,
// SIGQUIT, SIGUSR1, SIGALRM, ...; on Windows a console closed, logoff, shutdown) writes
// the pending output and ends the way that request ends a process. SIGTERM, SIGHUP and
// SIGQUIT end it even while a stop is stuck writing. A signal ignored at the start stays
// ignored. A write past the file-size limit fails with its error number, and one into a
// pipe nobody reads fails too (EPIPE), instead of killing the process.
void PlatformInstallFaultHandling(const FaultResponse& response);

// A code address as a report shows it: relative to the start of the executable's image,
// low 32 bits, never 0.
uint32_t PlatformCodeAddress(const void* address);

// The code address of the call that led into the function this is written in, as a
// report shows it. WebAssembly has no return address a program can read: there it is
// the fixed address every report of that build gives (platform_wasi.cpp).
#if defined(__wasm__)
#define PLATFORM_CALLER_ADDRESS() PlatformCodeAddress(nullptr)
#else
#define PLATFORM_CALLER_ADDRESS() PlatformCodeAddress(__builtin_return_address(0))
#endif

inline void PlatformWriteErrorStream(const char* text, size_t count) {
  gPlatform.writeErrorStream(text, count);
}

// How the system's own tools end a line on standard error: "\n", or "\r\n" on Windows.
extern const char kPlatformLineEnd[];

inline void PlatformErrorText(int code, char* text, size_t size) {
  gPlatform.errorText(code, text, size);
}
