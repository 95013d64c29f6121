#include "runtime/platform/windows_status.h"

namespace {

struct StatusCode {
  uint32_t status;
  uint8_t code;
};

constexpr StatusCode kStatusCodes[] = {
    {0xC000008E, 200},  // STATUS_FLOAT_DIVIDE_BY_ZERO
    {0xC0000094, 200},  // STATUS_INTEGER_DIVIDE_BY_ZERO
    {0xC000008C, 201},  // STATUS_ARRAY_BOUNDS_EXCEEDED
    {0xC00000FD, 202},  // STATUS_STACK_OVERFLOW
    {0xC0000091, 205},  // STATUS_FLOAT_OVERFLOW
    {0xC0000093, 206},  // STATUS_FLOAT_UNDERFLOW
    {0xC000008D, 206},  // STATUS_FLOAT_DENORMAL_OPERAND
    {0xC0000090, 207},  // STATUS_FLOAT_INVALID_OPERATION
    {0xC000008F, 207},  // STATUS_FLOAT_INEXACT_RESULT
    {0xC0000092, 207},  // STATUS_FLOAT_STACK_CHECK
    {0xC0000095, 215},  // STATUS_INTEGER_OVERFLOW
    {0xC0000005, 216},  // STATUS_ACCESS_VIOLATION
    {0xC000013A, 217},  // STATUS_CONTROL_C_EXIT
    {0xC0000096, 218},  // STATUS_PRIVILEGED_INSTRUCTION
};

}  // namespace

uint8_t CodeForExceptionStatus(uint32_t status) {
  for (const StatusCode& entry : kStatusCodes)
    if (entry.status == status) return entry.code;
  return 255;
}
