#include "runtime/platform/windows_status.h"

#include "runtime/platform/error_codes.h"

namespace {

struct StatusCode {
  uint32_t status;
  uint8_t code;
};

constexpr StatusCode kStatusCodes[] = {
    {0xC000008E, kDivisionByZero},      // STATUS_FLOAT_DIVIDE_BY_ZERO
    {0xC0000094, kDivisionByZero},      // STATUS_INTEGER_DIVIDE_BY_ZERO
    {0xC000008C, kRangeCheck},          // STATUS_ARRAY_BOUNDS_EXCEEDED
    {0xC00000FD, kStackOverflow},       // STATUS_STACK_OVERFLOW
    {0xC0000091, kFloatOverflow},       // STATUS_FLOAT_OVERFLOW
    {0xC0000093, kFloatUnderflow},      // STATUS_FLOAT_UNDERFLOW
    {0xC000008D, kFloatUnderflow},      // STATUS_FLOAT_DENORMAL_OPERAND
    {0xC0000090, kInvalidOperation},    // STATUS_FLOAT_INVALID_OPERATION
    {0xC000008F, kInvalidOperation},    // STATUS_FLOAT_INEXACT_RESULT
    {0xC0000092, kInvalidOperation},    // STATUS_FLOAT_STACK_CHECK
    {0xC0000095, kIntegerOverflow},     // STATUS_INTEGER_OVERFLOW
    {0xC0000005, kAccessViolation},     // STATUS_ACCESS_VIOLATION
    {0xC000013A, kInterrupted},         // STATUS_CONTROL_C_EXIT
    {0xC0000096, kIllegalInstruction},  // STATUS_PRIVILEGED_INSTRUCTION
};

}  // namespace

uint8_t CodeForExceptionStatus(uint32_t status) {
  for (const StatusCode& entry : kStatusCodes)
    if (entry.status == status) return entry.code;
  return 255;
}
