// Where the processor keeps no float flags (WebAssembly), a float sum or quotient whose
// result is not finite has its fault worked out from its operands. Checked here against
// the flags of the processor the tests run on, over every pair of edge values.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <sstream>

#include "runtime/arith/extended.h"
#include "runtime/arith/extended_soft.h"

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kLargest = std::numeric_limits<float>::max();
constexpr float kEdges[] = {0.0f,       -0.0f,
                            1.0f,       -1.0f,
                            1e-45f,     -1e-45f,
                            1.5e-38f,   3e38f,
                            -3e38f,     kLargest,
                            -kLargest,  kInfinity,
                            -kInfinity, std::numeric_limits<float>::quiet_NaN()};

// The faults as the software type numbers them: the processor's flags after the operation,
// or what RecordFloatFault makes of a result that is not finite.
unsigned ProcessorFaults(float a, float b, bool quotient) {
  std::feclearexcept(FE_ALL_EXCEPT);
  volatile float x = a, y = b;
  volatile float result = quotient ? x / y : x + y;
  (void)result;
  int flags = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  std::feclearexcept(FE_ALL_EXCEPT);
  return ((flags & FE_INVALID) != 0 ? SoftExtended::kSoftInvalid : 0u) |
         ((flags & FE_DIVBYZERO) != 0 ? SoftExtended::kSoftZeroDivide : 0u) |
         ((flags & FE_OVERFLOW) != 0 ? SoftExtended::kSoftOverflow : 0u);
}

unsigned RecordedFaults(float a, float b, bool quotient) {
  SoftExtended::ClearFaults();
  float result = quotient ? a / b : a + b;
  if (!std::isfinite(result)) RecordFloatFault(a, b, result, quotient);
  unsigned faults = SoftExtended::Faults();
  SoftExtended::ClearFaults();
  return faults;
}

// The x87 build unmasks the float traps at start-up: masked here, so that every fault
// only sets its flag.
class FloatFault : public testing::Test {
 protected:
  void SetUp() override {
    std::fegetenv(&saved_);
    fedisableexcept(FE_ALL_EXCEPT);
  }
  void TearDown() override { std::fesetenv(&saved_); }

 private:
  fenv_t saved_;
};

TEST_F(FloatFault, SumsAndQuotientsOfEdgeValuesFaultAsTheProcessorSays) {
  int checked = 0;
  for (bool quotient : {false, true}) {
    for (float a : kEdges) {
      for (float b : kEdges) {
        std::ostringstream operation;
        operation << a << (quotient ? " / " : " + ") << b;
        SCOPED_TRACE(operation.str());
        EXPECT_EQ(RecordedFaults(a, b, quotient), ProcessorFaults(a, b, quotient));
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 2 * 14 * 14);
}

// The cases the program meets: a profit sum beyond a float, and 0 / 0 in normalising.
TEST_F(FloatFault, TheProgramsOwnCases) {
  EXPECT_EQ(RecordedFaults(3e38f, 3e38f, false), SoftExtended::kSoftOverflow);
  EXPECT_EQ(RecordedFaults(0.0f, 0.0f, true), SoftExtended::kSoftInvalid);
  EXPECT_EQ(RecordedFaults(1.0f, 0.0f, true), SoftExtended::kSoftZeroDivide);
  EXPECT_EQ(RecordedFaults(kInfinity, 1.0f, false), 0u);  // already infinite: no new fault
}

}  // namespace
