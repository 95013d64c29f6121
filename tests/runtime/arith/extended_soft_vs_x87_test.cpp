// SoftExtended against the x87 unit: every operation on its edge cases and on random
// operands, compared bit for bit together with the faults each records. The x87 side runs
// at the program's setting with its three faults masked, so they show in the status word
// instead of trapping.
#include <gtest/gtest.h>

#include <cfenv>

#include "extended_cases.h"
#include "runtime/arith/extended_soft.h"
#include "runtime/arith/extended_x87.h"

namespace {

using namespace extended_cases;
using X87 = X87Extended;

static_assert(FE_INVALID == SoftExtended::kSoftInvalid &&
              FE_DIVBYZERO == SoftExtended::kSoftZeroDivide &&
              FE_OVERFLOW == SoftExtended::kSoftOverflow);

class SoftVsX87 : public testing::TestWithParam<Op> {
 protected:
  void SetUp() override {
    std::fegetenv(&saved_);
    fedisableexcept(FE_ALL_EXCEPT);
    std::feclearexcept(FE_ALL_EXCEPT);
    SoftExtended::ClearFaults();
  }
  void TearDown() override { std::fesetenv(&saved_); }

  // The number of cases where the two differ; the first few are reported.
  static int Differences(Op op, const std::vector<Operands>& cases) {
    int differences = 0;
    for (const Operands& in : cases) {
      Outcome x87 = extended_cases::Run<X87>(op, in, TakeX87Faults);
      Outcome soft = extended_cases::Run<SoftExtended>(op, in, TakeSoftFaults);
      if (soft == x87) continue;
      if (++differences <= 10) {
        ADD_FAILURE() << Describe(op, in) << "\n  soft " << Describe(soft) << "\n  x87  "
                      << Describe(x87);
      }
    }
    return differences;
  }

 private:
  fenv_t saved_;
};

TEST_P(SoftVsX87, EdgeCasesGiveTheSameBitsAndFaults) {
  std::vector<Operands> cases = EdgeCases(GetParam());
  ASSERT_GT(cases.size(), 10u);
  EXPECT_EQ(Differences(GetParam(), cases), 0);
}

TEST_P(SoftVsX87, RandomOperandsGiveTheSameBitsAndFaults) {
  RandomOperands source(0x5EED0000 + static_cast<int>(GetParam()));
  std::vector<Operands> cases(300000);
  for (Operands& in : cases) in = source.Draw(GetParam());
  EXPECT_EQ(Differences(GetParam(), cases), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, SoftVsX87, testing::ValuesIn(kEveryOp),
                         [](const testing::TestParamInfo<Op>& info) {
                           std::string name = Name(info.param);
                           std::erase(name, ' ');
                           return name;
                         });

}  // namespace
