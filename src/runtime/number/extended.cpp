#include "runtime/number/extended.h"

#include "runtime/core/error_codes.h"
#include "runtime/core/stop.h"
#include "runtime/platform/platform.h"

uint8_t TruncateToByteSlow(Extended t) {
  uint32_t here = PlatformCodeAddress(__builtin_return_address(0));
  // From 2^63 on (or a NaN) the truncation itself is an invalid operation.
  const Extended limit = Extended::FromFields(false, 16383 + 63, 0x8000000000000000u);
  if (!(t < limit && t > -limit)) StopWithError(kInvalidOperation, here);
  StopWithError(kRangeCheck, here);
}
