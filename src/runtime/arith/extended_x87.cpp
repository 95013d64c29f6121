#if defined(__x86_64__)
#include "runtime/arith/extended_x87.h"

#include "runtime/arith/extended_real.h"

static_assert(ExtendedReal<X87Extended>);

void LoadArithmeticSetting() {
  unsigned short control = kX87ControlWord;
  unsigned mxcsr = kMxcsr;
  asm volatile("fninit\n\tfldcw %0" : : "m"(control));
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}
#endif
