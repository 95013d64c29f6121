// Processor faults through the system's own handling (signals on Linux, exceptions on
// Windows) to the stop and its exit code, on both systems, and the table of Windows
// exception statuses.
#include <gtest/gtest.h>

#include <cstdint>

#include "extended_values.h"
#include "runtime/number/extended_x87.h"
#include "runtime/platform/windows_status.h"

namespace {

TEST(ExceptionStatus, EveryStatusHasItsCode) {
  struct Row {
    uint32_t status;
    int code;
  } rows[] = {
      {0xC000008E, 200}, {0xC0000094, 200}, {0xC000008C, 201}, {0xC00000FD, 202},
      {0xC0000091, 205}, {0xC0000093, 206}, {0xC000008D, 206}, {0xC0000090, 207},
      {0xC000008F, 207}, {0xC0000092, 207}, {0xC0000095, 215}, {0xC0000005, 216},
      {0xC000013A, 217}, {0xC0000096, 218}, {0xC000001D, 255}, {0xC0000135, 255},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CodeForExceptionStatus(row.status), row.code) << std::hex << row.status;
    EXPECT_TRUE(EndsTheRun(row.status)) << std::hex << row.status;
  }
}

TEST(ExceptionStatus, OnlySystemErrorsEndTheRun) {
  // The debugger's Ctrl-C notice, a breakpoint, a g++ and an MSVC C++ exception.
  for (uint32_t status : {0x40010005u, 0x80000003u, 0x20474343u, 0xE06D7363u})
    EXPECT_FALSE(EndsTheRun(status)) << std::hex << status;
}

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

int Recurse(int depth) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  if (depth == INT32_MAX) return 0;  // never reached: the stack runs out first
  return Recurse(depth + 1) + frame[0];
}

TEST(FaultStopDeathTest, EachFaultStopsWithItsCode) {
  struct Row {
    const char* what;
    void (*provoke)();
    int code;
  } rows[] = {
      {"x87 0/0",
       [] {
         Extended zero = Opaque(X(0.0));
         Opaque(zero / zero);
         ArithmeticCheckpoint();
       },
       207},
      {"x87 1/0",
       [] {
         Extended zero = Opaque(X(0.0));
         Opaque(X(1.0) / zero);
         ArithmeticCheckpoint();
       },
       200},
      {"x87 store beyond the float range",
       [] { ToFloat(Opaque(XFields(false, 0x4080, 0xBC143FA4E250EB31))); }, 205},
      {"SSE 0/0",
       [] {
         volatile float zero = 0;
         volatile float q = zero / zero;
         (void)q;
       },
       207},
      {"SSE 1/0",
       [] {
         volatile float zero = 0;
         volatile float q = 1 / zero;
         (void)q;
       },
       200},
      {"SSE overflow",
       [] {
         volatile float big = 3e38f;
         volatile float q = big * 10;
         (void)q;
       },
       205},
      {"integer division by zero",
       [] {
         volatile int one = 1, zero = 0;
         volatile int q = one / zero;
         (void)q;
       },
       200},
      {"null pointer",
       [] {
         volatile int* p = nullptr;
         *p = 1;
       },
       216},
      {"stack overflow", [] { Recurse(0); }, 202},
      // Windows knows no code for an illegal instruction: only a privileged one has one.
      {"illegal instruction", [] { __builtin_trap(); }, kWindows ? 255 : 218},
  };
  for (const Row& row : rows) {
    EXPECT_EXIT(row.provoke(), testing::ExitedWithCode(row.code), "") << row.what;
  }
}

}  // namespace
