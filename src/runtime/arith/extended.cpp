#include "runtime/arith/extended.h"

#include "runtime/arith/extended_soft.h"
#include "runtime/core/stop.h"
#include "runtime/platform/error_codes.h"
#include "runtime/platform/platform.h"

#if ALLOCATE_SOFT_EXTENDED
#include <cfenv>

namespace {

// The processor's sticky float flags as the software type's fault bits. WebAssembly has
// none: there its float arithmetic's faults are found by explicit checks and recorded
// among the software type's own.
unsigned FloatUnitFaults() {
#if defined(FE_INVALID)
  int flags = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  if (flags == 0) [[likely]]
    return 0;
  return ((flags & FE_INVALID) != 0 ? SoftExtended::kSoftInvalid : 0u) |
         ((flags & FE_DIVBYZERO) != 0 ? SoftExtended::kSoftZeroDivide : 0u) |
         ((flags & FE_OVERFLOW) != 0 ? SoftExtended::kSoftOverflow : 0u);
#else
  return 0;
#endif
}

}  // namespace

void LoadArithmeticSetting() {
  SoftExtended::ClearFaults();
  std::feclearexcept(FE_ALL_EXCEPT);
}

uint8_t PendingArithmeticFault() {
  unsigned faults = FloatUnitFaults() | SoftExtended::Faults();
  if (faults == 0) [[likely]]
    return 0;
  if ((faults & SoftExtended::kSoftInvalid) != 0) return kInvalidOperation;
  if ((faults & SoftExtended::kSoftZeroDivide) != 0) return kDivisionByZero;
  return kFloatOverflow;
}

void StopOnArithmeticFault(uint8_t code) {
  uint32_t here = PLATFORM_CALLER_ADDRESS();
  // Cleared as the x87 build's fault handler reloads its setting, so that the end
  // sequence's own arithmetic starts afresh.
  LoadArithmeticSetting();
  StopWithError(code, here, StopCause::kFault);
}
#endif

// A NaN from operands that are not NaN is an invalid operation (0 / 0, infinity -
// infinity, infinity / infinity); an infinity from finite operands is a division of a
// non-zero value by zero, or else an overflow.
void RecordFloatFault(float a, float b, float result, bool quotient) {
  if (std::isnan(result)) {
    if (!std::isnan(a) && !std::isnan(b)) SoftExtended::RaiseFaults(SoftExtended::kSoftInvalid);
  } else if (std::isinf(result) && std::isfinite(a) && std::isfinite(b)) {
    SoftExtended::RaiseFaults(quotient && b == 0.0f ? SoftExtended::kSoftZeroDivide
                                                    : SoftExtended::kSoftOverflow);
  }
}

uint8_t TruncateToByteSlow(Extended t) {
  uint32_t here = PLATFORM_CALLER_ADDRESS();
  // From 2^63 on (or a NaN) the truncation itself is an invalid operation.
  const Extended limit = Extended::FromUnsigned(uint64_t{1} << 63);
  if (!(t < limit && t > -limit)) StopWithError(kInvalidOperation, here);
  StopWithError(kRangeCheck, here);
}
