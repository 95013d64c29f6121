#include "app/planner_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Given {
  PlannerOption which;
  const char* value;
};

// The options read in order, then checked together; the fault's line when there is one.
std::string Read(PlannerOptions& options, const std::vector<Given>& given) {
  PlannerFault fault;
  for (const Given& g : given) {
    if (!ReadPlannerValue(options, g.which, "--x", g.value, fault))
      return "value: " + std::string(fault.why.View());
  }
  if (!CheckPlanner(options, fault)) return std::string(fault.why.View());
  return "";
}

// Floors and caps reach the search in levels, 9 times the share of the budget, wherever
// --budget stands and whichever of --lock, --min and --max came last.
TEST(PlannerRequestTest, BoundsBecomeLevelsOfTheBudget) {
  struct Row {
    const char* name;
    std::vector<Given> given;
    int project;
    double low, high;
  } const rows[] = {
      {"a share", {{PlannerOption::kMin, "3=0.25"}}, 3, 2.25, 9},
      {"an amount", {{PlannerOption::kBudget, "1000"}, {PlannerOption::kMax, "5=500"}}, 5, 0, 4.5},
      {"the budget after the amount",
       {{PlannerOption::kLock, "8=250"}, {PlannerOption::kBudget, "1000"}},
       8,
       2.25,
       2.25},
      {"a floor after a lock",
       {{PlannerOption::kLock, "2=0.5"}, {PlannerOption::kMin, "2=0.25"}},
       2,
       2.25,
       4.5},
      {"a lock after a cap",
       {{PlannerOption::kMax, "2=0.5"}, {PlannerOption::kLock, "2=0.125"}},
       2,
       1.125,
       1.125},
      {"a project left open", {{PlannerOption::kMin, "1=0.5"}}, 4, 0, 9},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PlannerOptions options;
    ASSERT_EQ(Read(options, row.given), "");
    PlanRequest request = PlannerRequest(options);
    EXPECT_TRUE(request.bounded);
    EXPECT_EQ(request.bounds.low[row.project].RoundToDouble(), row.low);
    EXPECT_EQ(request.bounds.high[row.project].RoundToDouble(), row.high);
  }
}

TEST(PlannerRequestTest, OnlyBoundsMakeARequestBounded) {
  PlannerOptions options;
  ASSERT_EQ(Read(options, {{PlannerOption::kBudget, "90000"},
                           {PlannerOption::kCurrent, "0,0,0,0,0,0,0,90000"}}),
            "");
  PlanRequest request = PlannerRequest(options);
  EXPECT_FALSE(request.bounded);
  EXPECT_TRUE(request.hasCurrent);
  EXPECT_EQ(request.current[8].RoundToDouble(), 9.0);
  EXPECT_TRUE(options.Any());
  EXPECT_FALSE(PlannerOptions().Any());
}

// What holds and what does not, at the edges of each check.
TEST(CheckPlannerTest, EdgesOfEachCheck) {
  struct Row {
    const char* name;
    std::vector<Given> given;
    std::string fault;
  } const rows[] = {
      {"floors adding up to the budget exactly",
       {{PlannerOption::kBudget, "1"},
        {PlannerOption::kMin, "1=0.1"},
        {PlannerOption::kMin, "2=0.2"},
        {PlannerOption::kMin, "3=0.7"}},
       ""},
      {"floors a cent above it",
       {{PlannerOption::kBudget, "100"},
        {PlannerOption::kMin, "1=50"},
        {PlannerOption::kMin, "2=50.01"}},
       "the minimums add up to 100.01, more than the budget, 100.00"},
      {"a floor equal to its cap",
       {{PlannerOption::kMin, "4=0.3"}, {PlannerOption::kMax, "4=0.3"}},
       ""},
      {"a floor just above its cap",
       {{PlannerOption::kMin, "4=0.3001"}, {PlannerOption::kMax, "4=0.3"}},
       "the minimum of project 4 (0.3001) is above its maximum (0.3)"},
      {"a current split 0.1 % short", {{PlannerOption::kCurrent, "0.999,0,0,0,0,0,0,0"}}, ""},
      {"a current split more than 0.1 % short",
       {{PlannerOption::kCurrent, "0.998,0,0,0,0,0,0,0"}},
       "the shares add up to 0.998, not 1 within 0.1 %"},
      {"a share of 1", {{PlannerOption::kLock, "6=1"}}, ""},
      {"an amount of the whole budget",
       {{PlannerOption::kLock, "6=20"}, {PlannerOption::kBudget, "20"}},
       ""},
      {"an amount above it",
       {{PlannerOption::kLock, "6=20.5"}, {PlannerOption::kBudget, "20"}},
       "the amount is not from 0 to the budget"},
      {"a negative zero", {{PlannerOption::kMax, "1=-0"}}, ""},
      {"a number in the reader's own forms",
       {{PlannerOption::kMin, "1=.5"}, {PlannerOption::kMax, "2=5e-1"}},
       ""},
      {"a hexadecimal number, which is no real",
       {{PlannerOption::kMin, "1=$10"}},
       "value: the value after \"=\" is not a number"},
      {"an exponent too large to read",
       {{PlannerOption::kBudget, "1e4001"}},
       "value: the budget must be a positive number"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PlannerOptions options;
    EXPECT_EQ(Read(options, row.given), row.fault);
  }
}

}  // namespace
