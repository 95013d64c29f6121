#include "runtime/arith/extended.h"

#include "runtime/core/stop.h"
#include "runtime/platform/error_codes.h"
#include "runtime/platform/platform.h"

#if ALLOCATE_SOFT_EXTENDED
#include <cfenv>

namespace {

constexpr int kFloatFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

}  // namespace

void LoadArithmeticSetting() {
  SoftExtended::ClearFaults();
  std::feclearexcept(FE_ALL_EXCEPT);
}

uint8_t PendingArithmeticFault() {
  int flags = std::fetestexcept(kFloatFaults);
  unsigned soft = SoftExtended::Faults();
  if (flags == 0 && soft == 0) [[likely]]
    return 0;
  if ((flags & FE_INVALID) != 0 || (soft & SoftExtended::kSoftInvalid) != 0)
    return kInvalidOperation;
  if ((flags & FE_DIVBYZERO) != 0 || (soft & SoftExtended::kSoftZeroDivide) != 0)
    return kDivisionByZero;
  return kFloatOverflow;
}

void StopOnArithmeticFault(uint8_t code) {
  uint32_t here = PlatformCodeAddress(__builtin_return_address(0));
  // Cleared as the x87 build's fault handler reloads its setting, so that the end
  // sequence's own arithmetic starts afresh.
  LoadArithmeticSetting();
  StopWithError(code, here, StopCause::kFault);
}
#endif

uint8_t TruncateToByteSlow(Extended t) {
  uint32_t here = PlatformCodeAddress(__builtin_return_address(0));
  // From 2^63 on (or a NaN) the truncation itself is an invalid operation.
  const Extended limit = Extended::FromUnsigned(uint64_t{1} << 63);
  if (!(t < limit && t > -limit)) StopWithError(kInvalidOperation, here);
  StopWithError(kRangeCheck, here);
}
