#include "search/plan.h"

#include <gtest/gtest.h>

#include <random>

#include "search/optimum.h"

namespace {

ProfitTable RandomTable(std::mt19937& gen) {
  std::uniform_real_distribution<float> entry(-10.0f, 50.0f);
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = entry(gen);
  return table;
}

// Floors and caps off the ninths on some projects, as shares a planner gives.
PlanRequest RandomRequest(std::mt19937& gen, bool frontier) {
  std::uniform_real_distribution<double> share(0.0, 0.3);
  PlanRequest request;
  request.frontier = frontier;
  for (int k = 1; k <= 8; ++k) {
    switch (gen() % 4) {
      case 0:
        request.bounded = true;
        request.bounds.low[k] = Extended(9.0) * Extended(share(gen));
        break;
      case 1:
        request.bounded = true;
        request.bounds.high[k] = Extended(9.0) * Extended(0.3 + share(gen));
        break;
      default:
        break;
    }
  }
  return request;
}

bool SameAllocation(const PlannedAllocation& a, const PlannedAllocation& b) {
  if (a.found != b.found || a.profit != b.profit) return false;
  for (int k = 1; k <= 8; ++k) {
    if (a.levels[k] != b.levels[k] || a.shares[k] != b.shares[k]) return false;
  }
  return true;
}

// The frontier's whole-budget row, the best allocation with and without --frontier: one
// and the same, bounds or none.
TEST(MakePlanTest, TheFrontiersWholeBudgetIsTheBestAllocation) {
  std::mt19937 gen(11);
  for (int round = 0; round < 100; ++round) {
    const ProfitTable table = RandomTable(gen);
    PlanRequest request = RandomRequest(gen, true);
    if (round % 4 == 0) request = PlanRequest{.frontier = true};
    const Plan plan = MakePlan(table, request);
    request.frontier = false;
    const Plan alone = MakePlan(table, request);
    SCOPED_TRACE(round);
    ASSERT_TRUE(plan.best.found);
    EXPECT_TRUE(SameAllocation(plan.frontier[9], plan.best));
    EXPECT_TRUE(SameAllocation(alone.best, plan.best));
  }
}

// Without bounds the best is allocate-optimum's: BestNinths' shares, their TotalProfit.
TEST(MakePlanTest, WithoutBoundsTheBestIsBestNinths) {
  std::mt19937 gen(12);
  for (int round = 0; round < 50; ++round) {
    const ProfitTable table = RandomTable(gen);
    const Plan plan = MakePlan(table, PlanRequest{});
    const AllocationVector shares = SharesOf(BestNinths(table));
    for (int k = 1; k <= 8; ++k) ASSERT_EQ(plan.best.shares[k], shares[k]);
    ASSERT_EQ(plan.best.profit, table.TotalProfit(shares));
    float sum = 0.0f;
    for (int k = 1; k <= 8; ++k) sum = plan.best.projectProfits[k] + sum;
    ASSERT_EQ(sum, plan.best.profit);
  }
}

// One more ninth: the step of the project's row at its best level, none at the last level.
TEST(MakePlanTest, OneMoreNinthIsTheNextStepOfEachRow) {
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) table.entries[k][j] = static_cast<float>(k == 1 ? 10 * j : j);
  // Project 1 earns 10 a ninth, the others 1: it takes the whole budget.
  const Plan plan = MakePlan(table, PlanRequest{});
  EXPECT_TRUE(plan.best.levels[1] == Extended(9.0));
  EXPECT_FALSE(plan.nextNinthHas[1]);
  for (int k = 2; k <= 8; ++k) {
    EXPECT_TRUE(plan.nextNinthHas[k]);
    EXPECT_EQ(plan.nextNinth[k], 1.0f);
  }
}

}  // namespace
