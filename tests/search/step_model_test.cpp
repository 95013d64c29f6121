// The generation step against a plain model of it: every profit by the formula as
// written in extended precision, nothing settled in double. Runs on the example table
// must agree bit for bit, step by step.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "runtime/fpu.h"
#include "plain_profit.h"
#include "runtime/random.h"
#include "search/population.h"

namespace {

float PlainTotal(const ProfitTable& table, const AllocationVector& v) {
  float sum = 0.0f;
  for (int k = 1; k <= 8; ++k) sum = PlainExtendedProfit(table, k, v[k]) + sum;
  return sum;
}

struct PlainPopulation {
  AllocationVector individuals[21];
  int count;
  float amplitude;
  const ProfitTable* table;

  void Step() {
    float bestProfit = 0.0f, secondProfit = 0.0f, worstProfit = 1000000000.0f;
    int best = 0, second = 0, worst = 0;
    for (int i = 1; i <= count; ++i) {
      float p = PlainTotal(*table, individuals[i]);
      if (p > bestProfit) {
        bestProfit = p;
        best = i;
      }
    }
    for (int i = 1; i <= count; ++i) {
      float p = PlainTotal(*table, individuals[i]);
      if (p > secondProfit && !SameAllocation(individuals[best], individuals[i])) {
        secondProfit = p;
        second = i;
      }
    }
    AllocationVector a = individuals[best], b = individuals[second], child;
    for (int k = 1; k <= 8; ++k) {
      float r = static_cast<float>(RandomReal());
      child[k] = ToFloat((1.0L - r) * a[k] + static_cast<long double>(r) * b[k]);
    }
    Normalize(child);
    for (int i = 1; i <= count; ++i) {
      float p = PlainTotal(*table, individuals[i]);
      if (p < worstProfit) {
        worstProfit = p;
        worst = i;
      }
    }
    individuals[worst] = child;
    AllocationVector& m = individuals[RandomBelow(count) + 1];
    for (int k = 1; k <= 8; ++k) {
      long double noise = static_cast<long double>(RandomReal() * 2.0 - 1.0) * amplitude;
      m[k] = ToFloat(m[k] + noise);
    }
    Normalize(m);
  }
};

TEST(StepModelTest, ExampleRunsMatchPlainExtendedModel) {
  static ProfitTable table;
  table.Load(ALLOCATE_SOURCE_DIR "/examples/function.txt");
  struct Case {
    uint32_t seed;
    uint8_t count;
    float amplitude;
    int steps;
  } const cases[] = {
      {12345, 20, 0.01f, 4000},
      {1, 20, 0.2f, 3000},
      {99, 7, 0.001f, 3000},
      {7, 2, 0.05f, 2000},
  };
  for (const Case& c : cases) {
    static Population population;
    static PlainPopulation model;
    population = Population{};
    RandomSeed = c.seed;
    population.Setup(table, c.count, c.amplitude);
    model.count = c.count;
    model.amplitude = c.amplitude;
    model.table = &table;
    for (int i = 1; i <= c.count; ++i) model.individuals[i] = population.individuals[i];
    int firstDifference = -1;
    for (int step = 0; step < c.steps && firstDifference < 0; ++step) {
      uint32_t before = RandomSeed;
      population.Step();
      uint32_t after = RandomSeed;
      RandomSeed = before;
      model.Step();
      if (RandomSeed != after) firstDifference = step;
      for (int i = 1; i <= c.count; ++i)
        if (std::memcmp(&model.individuals[i], &population.individuals[i],
                        sizeof(AllocationVector)))
          firstDifference = step;
    }
    EXPECT_EQ(firstDifference, -1) << "seed " << c.seed << " amplitude " << c.amplitude;
  }
}

}  // namespace
