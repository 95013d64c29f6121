// The table of Windows exception statuses, plain numbers tested on every system: the code
// each status stops with, and which statuses end the run at all.
#include "runtime/platform/windows_status.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The statuses no fault of platform_fault_test raises, with their codes.
TEST(WindowsStatus, StatusesNoTestCanRaiseHaveTheirCodes) {
  struct Row {
    uint32_t status;
    int code;
  } rows[] = {
      {0xC000008C, 201},  // array bounds exceeded
      {0xC0000093, 206},  // float underflow
      {0xC000008D, 206},  // float denormal operand
      {0xC000008F, 207},  // float inexact result
      {0xC0000092, 207},  // float stack check (extended_x87_test raises it)
      {0xC0000095, 215},  // integer overflow
      {0xC000013A, 217},  // Ctrl-C
      {0xC0000096, 218},  // privileged instruction
      {0xC000001D, 255},  // illegal instruction: no code of its own
      {0xC0000135, 255},  // any other
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CodeForExceptionStatus(row.status), row.code) << std::hex << row.status;
    EXPECT_TRUE(EndsTheRun(row.status)) << std::hex << row.status;
  }
}

TEST(WindowsStatus, OnlySystemErrorsEndTheRun) {
  // The debugger's Ctrl-C notice, a breakpoint, a g++ and an MSVC C++ exception.
  for (uint32_t status : {0x40010005u, 0x80000003u, 0x20474343u, 0xE06D7363u})
    EXPECT_FALSE(EndsTheRun(status)) << std::hex << status;
}

}  // namespace
