#pragma once
// Extended: the extended real every computation of the program runs in, 64-bit
// significand and 15-bit exponent, as the x87 unit computes it. On x86-64 the unit
// itself (X87Extended); elsewhere, or with ALLOCATE_SOFT_EXTENDED=1, the same arithmetic
// in integers (SoftExtended). Both have one interface: extended_real.h states it.
//
//   ToFloat(Extended(1.0) / Extended(3.0))        -> 0.333333343f
//   ToFloat(Extended::FromFields(false, 16383 + 200, 1ull << 63))   stops with 205
//   TruncateToByte(Extended(255.5))               -> 255;  Extended(256.0) stops with 201

#include <cmath>
#include <cstdint>

#include "runtime/arith/extended_real.h"

#if ALLOCATE_SOFT_EXTENDED
#include "runtime/arith/extended_soft.h"
using Extended = SoftExtended;

// Nothing traps here: SoftExtended records its faults, and the processor's float and
// double arithmetic (the SSE unit's on x86-64, whose traps the x87 build unmasks) only
// sets its sticky flags. Start-up clears both records.
void LoadArithmeticSetting();

// The code of a recorded fault, 0 when there is none: SoftExtended's flags and the
// processor's float flags together, invalid 207 before zero-divide 200 before overflow 205.
uint8_t PendingArithmeticFault();

// Stops with that code at the address just after its call, in the checkpoint's caller.
[[noreturn, gnu::noinline, gnu::cold]] void StopOnArithmeticFault(uint8_t code);

// Where the x87 build waits for its unit, a recorded fault stops the run.
inline void ArithmeticCheckpoint() {
  if (uint8_t code = PendingArithmeticFault(); code != 0) [[unlikely]]
    StopOnArithmeticFault(code);
}

// After float or double arithmetic that traps at once in the x87 build (0 / 0 in
// normalising): the same stop, before anything else happens.
inline void FloatCheckpoint() { ArithmeticCheckpoint(); }
#else
#include "runtime/arith/extended_x87.h"
using Extended = X87Extended;

// Float and double arithmetic traps at the faulting instruction (MXCSR).
inline void FloatCheckpoint() {}
#endif

static_assert(ExtendedReal<Extended>);

// The fault a float sum or quotient raised, worked out from its operands and its result
// (not finite) as IEEE 754 raises it, and recorded among the software type's.
[[gnu::cold]] void RecordFloatFault(float a, float b, float result, bool quotient);

// A float sum and quotient, each rounded once to float. The x87 build traps on their
// faults and the other processors' builds find them in the float unit's flags at the next
// checkpoint. WebAssembly keeps no flags: there a result that is not finite goes to
// RecordFloatFault, for the same checkpoint to find.
//
//   FloatSum(3e38f, 3e38f)    -> +infinity, an overflow (205 at the checkpoint)
//   FloatQuotient(0.0f, 0.0f) -> NaN, an invalid operation (207)
inline float FloatSum(float a, float b) {
  float sum = a + b;
#if defined(__wasm__)
  if (!std::isfinite(sum)) [[unlikely]]
    RecordFloatFault(a, b, sum, false);
#endif
  return sum;
}

inline float FloatQuotient(float a, float b) {
  float quotient = a / b;
#if defined(__wasm__)
  if (!std::isfinite(quotient)) [[unlikely]]
    RecordFloatFault(a, b, quotient, true);
#endif
  return quotient;
}

// Rounds to float; a value beyond the float range stops the run right here (205).
inline float ToFloat(Extended x) {
  volatile float stored = x.RoundToFloat();
  ArithmeticCheckpoint();
  return stored;
}

// An extended real truncated toward zero, which must lie in 0..255: t in (-1, 256).
// A NaN or a value whose integer part does not fit 64 bits is an invalid operation
// (207); any other value outside the range a range failure (201).
[[gnu::noinline, gnu::cold]] uint8_t TruncateToByteSlow(Extended t);

inline uint8_t TruncateToByte(Extended t) {
  // Quiet compares: a NaN must reach the slow path, not trap here.
  if (t > Extended(-1.0) && t < Extended(256.0)) [[likely]]
    return static_cast<uint8_t>(t.TruncateToInt64());
  return TruncateToByteSlow(t);
}
// The same for a double, which widens exactly. Without an x87 unit it is compared and
// truncated as a double, with the same outcome; the x87 build keeps the unit's own
// compare, which measured faster there.
inline uint8_t TruncateToByte(double t) {
#if ALLOCATE_SOFT_EXTENDED
  if (std::isgreater(t, -1.0) && std::isless(t, 256.0)) [[likely]]
    return static_cast<uint8_t>(static_cast<int>(t));
  return TruncateToByteSlow(Extended(t));
#else
  return TruncateToByte(Extended(t));
#endif
}
