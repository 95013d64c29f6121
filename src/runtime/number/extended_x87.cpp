#include "runtime/number/extended.h"

#include "runtime/core/stop.h"
#include "runtime/platform/platform.h"

void LoadArithmeticSetting() {
  unsigned short control = kX87ControlWord;
  unsigned mxcsr = kMxcsr;
  asm volatile("fninit\n\tfldcw %0" : : "m"(control));
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}

uint8_t TruncateToByteSlow(long double t) {
  uint32_t here = PlatformCodeAddress(__builtin_return_address(0));
  // Beyond 2^63 (or a NaN) the truncation itself is an invalid operation.
  if (!__builtin_isless(__builtin_fabsl(t), 0x1p63L)) StopWithError(207, here);
  StopWithError(201, here);
}
