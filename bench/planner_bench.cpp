// allocate-optimum's computation with bounds and --frontier: the best allocation within
// the bounds, the gain of one more ninth per project, the current split and the best of
// every total of ninths. On the example table with a planner's few bounds, and on tables
// where every project has a floor and a cap off the ninths, the most shapes the search
// can meet. Built, never run by ctest.
#include <benchmark/benchmark.h>

#include <random>

#include "app/stop_words.h"
#include "model/profit_table.h"
#include "runtime/program/program.h"
#include "search/plan.h"

namespace {

ProfitTable gExample;

const ProfitTable& ExampleTable() {
  static bool loaded = false;
  if (!loaded) gExample.Load(ALLOCATE_SOURCE_DIR "/examples/function.txt");
  loaded = true;
  return gExample;
}

Extended LevelOf(double share) { return Extended(9.0) * Extended(share); }

// The worked example of docs/planner.md: project 3 locked at 15 %, project 7 at least 30 %,
// project 8 at most 8 %, against an even current split.
PlanRequest ExampleRequest() {
  PlanRequest request;
  request.bounded = true;
  request.bounds.low[3] = request.bounds.high[3] = LevelOf(0.15);
  request.bounds.low[7] = LevelOf(0.3);
  request.bounds.high[8] = LevelOf(0.08);
  request.hasCurrent = true;
  for (int k = 1; k <= 8; ++k) request.current[k] = Extended(9.0 / 8.0);
  request.frontier = true;
  return request;
}

// Every project between a floor of 1 to 4 % and a cap of capFrom to capTo: narrow caps
// keep the most shapes within the budget.
PlanRequest EveryProjectBounded(std::mt19937& gen, double capFrom, double capTo) {
  std::uniform_real_distribution<double> floor(0.01, 0.04), cap(capFrom, capTo);
  PlanRequest request;
  request.bounded = true;
  for (int k = 1; k <= 8; ++k) {
    request.bounds.low[k] = LevelOf(floor(gen));
    request.bounds.high[k] = LevelOf(cap(gen));
  }
  request.frontier = true;
  return request;
}

ProfitTable RandomTable(std::mt19937& gen) {
  std::uniform_real_distribution<float> entry(0.0f, 50.0f);
  ProfitTable table{};
  for (int k = 1; k <= 8; ++k)
    for (int j = 1; j <= 9; ++j) table.entries[k][j] = entry(gen);
  return table;
}

void BM_PlanExampleWithBoundsAndFrontier(benchmark::State& state) {
  const ProfitTable& table = ExampleTable();
  const PlanRequest request = ExampleRequest();
  for (auto _ : state) {
    Plan plan = MakePlan(table, request);
    benchmark::DoNotOptimize(plan.best.profit);
  }
}
BENCHMARK(BM_PlanExampleWithBoundsAndFrontier)->Unit(benchmark::kMillisecond);

// Caps from 40 to 95 % (arg 0) or from 13 to 20 % (arg 1).
void BM_PlanEveryProjectBoundedWithFrontier(benchmark::State& state) {
  std::mt19937 gen(17);
  const ProfitTable table = RandomTable(gen);
  const PlanRequest request = state.range(0) == 0 ? EveryProjectBounded(gen, 0.4, 0.95)
                                                  : EveryProjectBounded(gen, 0.13, 0.2);
  for (auto _ : state) {
    Plan plan = MakePlan(table, request);
    benchmark::DoNotOptimize(plan.best.profit);
  }
}
BENCHMARK(BM_PlanEveryProjectBoundedWithFrontier)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same without the frontier: the best allocation alone.
void BM_BestWithinEveryProjectBounded(benchmark::State& state) {
  std::mt19937 gen(17);
  const ProfitTable table = RandomTable(gen);
  PlanRequest request = EveryProjectBounded(gen, 0.13, 0.2);
  request.frontier = false;
  for (auto _ : state) {
    Plan plan = MakePlan(table, request);
    benchmark::DoNotOptimize(plan.best.profit);
  }
}
BENCHMARK(BM_BestWithinEveryProjectBounded)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  StartUp({"allocate-optimum", NumberPlace, OwnAccount, ActivityWords});
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
