#pragma once
// The floating-point setting every computation of the program runs under, and the
// one way an extended value becomes a stored float.

#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 extended format (64-bit significand)");
static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);

// x87: precision 64 bits, round to nearest; invalid, zero-divide and overflow unmasked
// (bits 0, 2, 3 clear), denormal, underflow and inexact masked (bits 1, 4, 5 set).
inline constexpr unsigned short kX87ControlWord = 0x1332;
// SSE, where float arithmetic runs: the same three exceptions unmasked.
// 0x1900 = default 0x1F80 less the invalid (0x80), zero-divide (0x200) and overflow (0x400) masks.
inline constexpr unsigned kMxcsr = 0x1900;

// Resets the x87 unit and loads the setting into it and into MXCSR.
void LoadArithmeticSetting();

// An unmasked x87 exception is only raised by the next waiting x87 instruction, so a
// fault could surface late or never. This forces it out here.
inline void ArithmeticCheckpoint() { asm volatile("fwait" ::: "memory"); }

// Rounds to float; a value beyond the float range traps right here (205).
inline float ToFloat(long double x) {
  volatile float stored = static_cast<float>(x);
  ArithmeticCheckpoint();
  return stored;
}
