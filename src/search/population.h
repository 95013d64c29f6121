#pragma once
// Population: the candidate allocations of the genetic search, slots 1..20 of which the
// first count are in use, with the mutation amplitude and the profit table they are
// judged by.
//
// The profit of each slot is remembered from the first query that needs it until the
// slot changes (Setup, ReplaceWorst, Mutate), so a step computes only the profits of the
// two individuals the step before changed, and every profit, with any floating-point
// stop it meets, is computed at the same query as when nothing is remembered. The
// population prints nothing: app/report.h lays it out.

#include <cstdint>

#include "model/allocation.h"
#include "model/profit_table.h"
#include "runtime/core/checked.h"

// The best (the highest, whatever its sign) and the mean profit of a population; both 0
// for an empty one. The mean is summed in extended precision and rounded once.
struct PopulationFigures {
  float best;
  float mean;
};

struct Population {
  CheckedArray<AllocationVector, 1, 20> individuals;
  uint8_t count;
  float amplitude;
  const ProfitTable* table;  // not owned; outlives the population
  // The remembered profits: profits[i] holds while known[i] is set.
  mutable CheckedArray<float, 1, 20> profits;
  mutable CheckedArray<bool, 1, 20> known;

  // Fills slots 1..count with normalised random allocations, 8 draws each. A count above
  // 20 stops the run (201) when slot 21 is first addressed.
  void Setup(const ProfitTable& profitTable, uint8_t individualCount, float mutationAmplitude);

  // TotalProfit of individual i, remembered until the slot changes.
  float Profit(int i) const;

  // The highest total profit, never below 0.
  float BestProfit() const;

  // The figures of the population as it stands. The profits are queried in slot order,
  // as the next Step or the report queries them first, so asking changes nothing a run
  // computes or prints: a profit that stops the run stops it at the same computation.
  PopulationFigures Figures() const;

  // One generation: the best individual (the highest profit, whatever its sign) and the
  // best one whose shares differ from it are blended into a child that replaces the
  // worst; then one individual chosen at random is mutated. 17 draws. When every
  // individual is a copy of the best, the best is both parents. With count 0 a step does
  // nothing and draws nothing.
  void Step();

 private:
  // The child of parents a (best) and b (second): per share a fresh weight r rounded to
  // float, (1 - r) * a[k] + r * b[k]; normalised, then handed to ReplaceWorst.
  void Crossover(AllocationVector a, AllocationVector b);

  // Copies the child over the lowest-profit individual, whatever its profit (the
  // lowest-numbered among equals). Needs count >= 1.
  void ReplaceWorst(AllocationVector child);

  // Individual i gets v[k] + (r * 2 - 1) * amplitude per share, r at full precision, and
  // is normalised again. 8 draws. When no share would stay above 0, the individual keeps
  // the shares it had.
  void Mutate(int i);
};
