#pragma once
// Population: the candidate allocations of the genetic search, slots 1..20 of which the
// first count are in use, with the mutation amplitude and the profit table they are
// judged by. The profit of an individual is never stored: every query recomputes it.
//
// Report line of individual 3 with profit 41.25 and eight shares of 0.125:
//   "H:3 F: 41.250 W:0.125 0.125 0.125 0.125 0.125 0.125 0.125 0.125 " and CR LF.

#include <cstdint>

#include "model/allocation.h"
#include "model/profit_table.h"
#include "runtime/checked.h"

struct Population {
  CheckedArray<AllocationVector, 1, 20> individuals;
  uint8_t count;
  float amplitude;
  const ProfitTable* table;  // not owned; outlives the population

  // Fills slots 1..count with normalised random allocations, 8 draws each. A count above
  // 20 stops the run (201) when slot 21 is first addressed.
  void Setup(const ProfitTable& profits, uint8_t individualCount, float mutationAmplitude);

  // The highest total profit, never below 0.
  float BestProfit() const;

  // Writes the report line of individual i in ten output statements.
  void PrintIndividual(uint8_t i) const;
  void PrintAll() const;

  // One generation: the best and the best different individual are blended into a child
  // that replaces the worst; then one individual chosen at random is mutated. 17 draws.
  // Without a best, a second or a worst individual the run stops (201, slot 0).
  void Step();

  // The child of parents a (best) and b (second): per share a fresh weight r rounded to
  // float, (1 - r) * a[k] + r * b[k]; normalised, then handed to ReplaceWorst.
  void Crossover(AllocationVector a, AllocationVector b);

  // Copies the child over the lowest-profit individual (the lowest-numbered among equals).
  void ReplaceWorst(AllocationVector child);

  // v[k] + (r * 2 - 1) * amplitude per share, r at full precision, then Normalize.
  void Mutate(AllocationVector& v);
};
