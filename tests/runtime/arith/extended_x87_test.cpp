// Faults of the x87 unit itself that the type's interface cannot provoke.
#include <gtest/gtest.h>

#if defined(__x86_64__) && !ALLOCATE_SOFT_EXTENDED

namespace {

// Nine loads into eight registers: a stack fault, which on Windows is a status of its own
// (0xC0000092) that the C runtime would resume for ever.
TEST(X87DeathTest, RegisterStackOverflowStopsAsAnInvalidOperation) {
  EXPECT_EXIT(asm volatile("fld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\t"
                           "fld1\n\tfwait" ::
                               : "memory"),
              testing::ExitedWithCode(207), "");
}

}  // namespace

#endif
