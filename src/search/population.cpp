#include "search/population.h"

#include "runtime/arith/extended.h"
#include "runtime/core/random.h"

void Population::Setup(const ProfitTable& profitTable, uint8_t individualCount,
                       float mutationAmplitude) {
  // 1. Store the parameters; nothing is remembered yet.
  table = &profitTable;
  count = individualCount;
  amplitude = mutationAmplitude;
  known = {};
  // 2. One individual after the other: 8 draws, then normalise.
  for (int i = 1; i <= count; ++i) {
    AllocationVector& v = individuals[i];
    for (int k = 1; k <= 8; ++k) v[k] = static_cast<float>(RandomReal());
    Normalize(v);
  }
}

float Population::Profit(int i) const {
  if (!known[i]) {
    profits[i] = table->TotalProfit(individuals[i]);
    known[i] = true;
  }
  return profits[i];
}

float Population::BestProfit() const {
  float best = 0.0f;
  for (int i = 1; i <= count; ++i) {
    float p = Profit(i);
    if (p > best) best = p;
  }
  return best;
}

PopulationFigures Population::Figures() const {
  if (count == 0) return {0.0f, 0.0f};
  float best = Profit(1);
  Extended sum = Extended(best);
  for (int i = 2; i <= count; ++i) {
    float p = Profit(i);
    if (p > best) best = p;
    sum = sum + Extended(p);
  }
  // At most 20 floats: the sum stays far inside the extended range, and the mean inside
  // the float range.
  return {best, ToFloat(sum / Extended(static_cast<float>(count)))};
}

void Population::Step() {
  // An empty population has nothing to breed or mutate.
  if (count == 0) return;
  // 1. Best: the highest profit, whatever its sign; strictly greater, so the lowest
  // number wins among equals.
  float bestProfit = 0.0f;
  uint8_t best = 0;
  for (int i = 1; i <= count; ++i) {
    float p = Profit(i);
    if (best == 0 || p > bestProfit) {
      bestProfit = p;
      best = static_cast<uint8_t>(i);
    }
  }
  // 2. Second: the same among those whose shares differ from the best's. When every
  // individual is a copy of the best, the best is both parents.
  float secondProfit = 0.0f;
  uint8_t second = 0;
  for (int i = 1; i <= count; ++i) {
    float p = Profit(i);
    if ((second == 0 || p > secondProfit) && !SameAllocation(individuals[best], individuals[i])) {
      secondProfit = p;
      second = static_cast<uint8_t>(i);
    }
  }
  if (second == 0) second = best;
  // 3. Crossover.
  Crossover(individuals[best], individuals[second]);
  // 4. Mutation of one individual in 1..count.
  Mutate(static_cast<int>(RandomBelow(count)) + 1);
}

void Population::Crossover(AllocationVector a, AllocationVector b) {
  AllocationVector child;
  // 1. One weight per share, rounded to float before the blend. One checkpoint for the
  // loop: waiting for the x87 unit after every share would cost more than the blends.
  for (int k = 1; k <= 8; ++k) {
    float r = static_cast<float>(RandomReal());
    child[k] = Extended::Blend(r, a[k], b[k]);
  }
  ArithmeticCheckpoint();
  // 2. Normalise. 3. Replace the worst.
  Normalize(child);
  ReplaceWorst(child);
}

void Population::ReplaceWorst(AllocationVector child) {
  // 1. The lowest profit, whatever its size; strictly lower, so the lowest number is
  // replaced among equals.
  float worstProfit = 0.0f;
  uint8_t worst = 0;
  for (int i = 1; i <= count; ++i) {
    float p = Profit(i);
    if (worst == 0 || p < worstProfit) {
      worstProfit = p;
      worst = static_cast<uint8_t>(i);
    }
  }
  // 2. The child takes its slot.
  individuals[worst] = child;
  known[worst] = false;
}

void Population::Mutate(int i) {
  AllocationVector v = individuals[i];
  // 1. r * 2 - 1 is exact; its product with the amplitude needs up to 56 bits. One
  // checkpoint for the loop, as in Crossover.
  for (int k = 1; k <= 8; ++k)
    v[k] = Extended::AddProduct(v[k], RandomReal() * 2.0 - 1.0, amplitude);
  ArithmeticCheckpoint();
  // 2. Shares that would all be clamped to 0 leave nothing to normalise: the individual
  // keeps the shares it had, and its remembered profit.
  if (!HasShareAboveZero(v)) return;
  // 3. Normalise.
  Normalize(v);
  individuals[i] = v;
  known[i] = false;
}
