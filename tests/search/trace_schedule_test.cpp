#include "search/trace_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Every step while the states number at most 1000; beyond, 1000 rows that start at 0,
// end at the last step, and rise strictly (no step written twice).
TEST(TraceScheduleTest, AllStepsOrAThousandSpreadEvenly) {
  struct Case {
    uint32_t last;
    uint32_t rows;
    uint32_t row1;
    uint32_t middle;  // the step of row 500, or of the middle row when fewer
  } const cases[] = {
      {0, 1, 0, 0},         {1, 2, 1, 0},          {998, 999, 1, 500},       {999, 1000, 1, 500},
      {1000, 1000, 1, 500}, {1998, 1000, 2, 1000}, {65535, 1000, 65, 32800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.last);
    TraceSchedule schedule{c.last};
    ASSERT_EQ(schedule.Rows(), c.rows);
    EXPECT_EQ(schedule.StepOfRow(0), 0u);
    EXPECT_EQ(schedule.StepOfRow(c.rows - 1), c.last);
    if (c.rows > 1) {
      EXPECT_EQ(schedule.StepOfRow(1), c.row1);
    }
    EXPECT_EQ(schedule.StepOfRow(c.rows > 500 ? 500 : (c.rows - 1) / 2), c.middle);
    for (uint32_t row = 1; row < c.rows; ++row)
      ASSERT_LT(schedule.StepOfRow(row - 1), schedule.StepOfRow(row)) << row;
  }
}

}  // namespace
