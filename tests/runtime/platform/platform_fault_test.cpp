// Every stop, processor faults through the system's own handling (signals on Linux,
// exceptions on Windows) and the program's own checks, with its exit code and report line,
// on both systems.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "extended_values.h"
#include "fake_platform.h"
#include "report_line.h"
#include "runtime/arith/extended.h"
#include "runtime/core/checked.h"
#include "runtime/core/io_status.h"
#include "runtime/platform/windows_status.h"
#include "runtime/stream/text_output.h"

namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// aarch64 and riscv64 give a quotient for a division by zero instead of trapping.
#if defined(__aarch64__) || defined(__riscv)
constexpr bool kIntegerDivisionTraps = false;
#else
constexpr bool kIntegerDivisionTraps = true;
#endif

// An instruction the processor rejects (__builtin_trap is a breakpoint on some).
[[noreturn]] void IllegalInstruction() {
#if defined(__aarch64__)
  asm volatile("udf #0");
#elif defined(__riscv)
  asm volatile("unimp");
#endif
  __builtin_trap();
}

int Recurse(int depth) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  if (depth == INT32_MAX) return 0;  // never reached: the stack runs out first
  return Recurse(depth + 1) + frame[0];
}

// Runs a stop in a death-test child on the fake platform: the child exits with the
// stop's status and says on standard error whether the report line was the last output.
void StopAndCheckTheReport(void (*provoke)()) {
  static FakePlatform* fake = new FakePlatform;  // lives until the child exits
  fake->onExit = [](int status) {
    std::string out = fake->Written();
    std::string fault = ReportLineFault(out.substr(out.size() < 32 ? 0 : out.size() - 32), status);
    std::fputs(fault.empty() ? "report line ok\n" : ("report line: " + fault + "\n").c_str(),
               stderr);
    std::fflush(stderr);
    std::_Exit(status);
  };
  MarkOutputClosed();
  gPendingIOCode = 0;
  provoke();
}

// Every way the program stops, through the system's own handling of faults (signals on
// Linux, exceptions on Windows) or its own checks: the exit code, the status the fault
// raises on Windows (0 where it raises none), and the report line.
TEST(PlatformFaultDeathTest, EachStopEndsWithItsCodeAndReport) {
  struct Row {
    const char* what;
    void (*provoke)();
    int code;
    uint32_t windowsStatus;
    bool linuxOnly;
    bool skip = false;
  } rows[] = {
      {"x87 0/0",
       [] {
         Extended zero = Opaque(X(0.0));
         Opaque(zero / zero);
         ArithmeticCheckpoint();
       },
       207, 0xC0000090, false},
      {"x87 1/0",
       [] {
         Extended zero = Opaque(X(0.0));
         Opaque(X(1.0) / zero);
         ArithmeticCheckpoint();
       },
       200, 0xC000008E, false},
      {"x87 store beyond the float range",
       [] { ToFloat(Opaque(XFields(false, 0x4080, 0xBC143FA4E250EB31))); }, 205, 0xC0000091, false},
      {"SSE 0/0",
       [] {
         volatile float zero = 0;
         volatile float q = zero / zero;
         (void)q;
         FloatCheckpoint();
       },
       207, 0xC0000090, false},
      {"SSE 1/0",
       [] {
         volatile float zero = 0;
         volatile float q = 1 / zero;
         (void)q;
         FloatCheckpoint();
       },
       200, 0xC000008E, false},
      {"SSE overflow",
       [] {
         volatile float big = 3e38f;
         volatile float q = big * 10;
         (void)q;
         FloatCheckpoint();
       },
       205, 0xC0000091, false},
      {"integer division by zero",
       [] {
         volatile int one = 1, zero = 0;
         volatile int q = one / zero;
         (void)q;
       },
       200, 0xC0000094, false, !kIntegerDivisionTraps},
      {"null pointer",
       [] {
         volatile int* p = nullptr;
         *p = 1;
       },
       216, 0xC0000005, false},
      {"stack overflow", [] { Recurse(0); }, 202, 0xC00000FD, false},
      // Windows knows no code for an illegal instruction: only a privileged one has one.
      {"illegal instruction", [] { IllegalInstruction(); }, kWindows ? 255 : 218, 0, false},
      {"range check", [] { RangeCheckFailed(); }, 201, 0, false},
      {"checked index",
       [] {
         CheckedArray<int, 1, 8> a{};
         volatile int i = 9;
         a[i] = 1;
       },
       201, 0, false},
      {"pending 106",
       [] {
         gPendingIOCode = 106;
         CheckIOResult();
       },
       106, 0, false},
      {"pending 267",
       [] {
         gPendingIOCode = 267;
         CheckIOResult();
       },
       11, 0, false},
      {"pending 256",
       [] {
         gPendingIOCode = 256;
         CheckIOResult();
       },
       255, 0, false},
      {"truncate 1e30", [] { TruncateToByte(Opaque(XFields(false, 0x4062, 0xC9F2C9CD04674EDF))); },
       207, 0, false},
      {"truncate NaN", [] { TruncateToByte(Opaque(kXNaN)); }, 207, 0, false},
      {"truncate 300", [] { TruncateToByte(Opaque(X(300.0))); }, 201, 0, false},
      {"truncate -1", [] { TruncateToByte(Opaque(-X(1.0))); }, 201, 0, false},
      // On Windows Ctrl-C arrives as a console event (the end-to-end suites send it).
      {"interrupt", [] { raise(SIGINT); }, 217, 0, true},
  };
  for (const Row& row : rows) {
    if (row.windowsStatus != 0) {
      EXPECT_EQ(CodeForExceptionStatus(row.windowsStatus), row.code) << row.what;
      EXPECT_TRUE(EndsTheRun(row.windowsStatus)) << row.what;
    }
    if ((kWindows && row.linuxOnly) || row.skip) continue;
    EXPECT_EXIT(StopAndCheckTheReport(row.provoke), testing::ExitedWithCode(row.code),
                "report line ok")
        << row.what;
  }
}

}  // namespace
