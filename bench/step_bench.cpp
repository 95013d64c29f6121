// The generation step at the largest population, and the largest run the dialogue
// allows: count 20, 65,535 steps, on the example table. Built, never run by ctest.
#include <benchmark/benchmark.h>

#include "app/stop_words.h"
#include "model/profit_table.h"
#include "runtime/core/random.h"
#include "runtime/program/program.h"
#include "search/population.h"

namespace {

ProfitTable gTable;
Population gPopulation;

void LoadExampleTable() {
  static bool loaded = false;
  if (!loaded) gTable.Load(ALLOCATE_SOURCE_DIR "/examples/function.txt");
  loaded = true;
}

// A step computes the profits of the two individuals the step before changed.
void BM_Step(benchmark::State& state) {
  LoadExampleTable();
  gRandomSeed = 12345;
  gPopulation.Setup(gTable, 20, 0.01f);
  for (auto _ : state) {
    gPopulation.Step();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Step);

void BM_ProjectProfit(benchmark::State& state) {
  LoadExampleTable();
  gRandomSeed = 777;
  float shares[1024];
  for (float& x : shares) x = static_cast<float>(RandomReal());
  for (auto _ : state) {
    float sum = 0;
    for (int n = 0; n < 1024; ++n) sum += gTable.ProjectProfit(1 + n % 8, shares[n]);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["ns_per_ProjectProfit"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1024,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ProjectProfit);

void BM_TotalProfit(benchmark::State& state) {
  LoadExampleTable();
  gRandomSeed = 12345;
  gPopulation.Setup(gTable, 20, 0.01f);
  for (int step = 0; step < 1000; ++step) gPopulation.Step();
  for (auto _ : state) {
    float best = 0;
    for (int i = 1; i <= 20; ++i) {
      float p = gTable.TotalProfit(gPopulation.individuals[i]);
      if (p > best) best = p;
    }
    benchmark::DoNotOptimize(best);
  }
  state.counters["ns_per_ProjectProfit"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 20 * 8,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TotalProfit);

void BM_LargestRun(benchmark::State& state) {
  LoadExampleTable();
  for (auto _ : state) {
    gRandomSeed = 12345;
    gPopulation.Setup(gTable, 20, 0.01f);
    for (int step = 0; step < 65535; ++step) gPopulation.Step();
    benchmark::DoNotOptimize(gPopulation.BestProfit());
  }
}
BENCHMARK(BM_LargestRun)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  StartUp({"allocate", NumberPlace, OwnAccount, ActivityWords});
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
