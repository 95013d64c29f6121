#pragma once
// allocate-optimum's planner options, as the command line gives them, and what they ask
// of the search:
//
//   --budget AMOUNT          the budget in money: the report adds amounts to the cent
//   --min P=X, --max P=X     a floor or a cap for project P (1..8): a share from 0 to 1,
//                            or an amount from 0 to the budget when --budget is given
//   --lock P=X               both at once
//   --current S1,...,S8      the split as it stands: 8 shares adding up to 1, or amounts
//                            adding up to the budget, within 0.1 %
//   --frontier               the best allocation of each total of 0/9 .. 9/9 of the budget
//
// The last of a repeated option counts (--lock 3=0.2 --min 3=0.1: floor 0.1, cap 0.2).
// Numbers are read by the program's own reader ("1e3", ".5"), at most 64 bytes and an
// exponent of at most 4000, so that no value can stop the run while it is read.
//
//   --min "9=0.1"     ->  the projects are 1 to 8
//   --min "3=1.5"     ->  the share is not from 0 to 1
//   --current "0.5,0.5,0,0,0,0,0"  ->  7 numbers where 8 are needed

#include <cstdint>
#include <string_view>

#include "runtime/arith/extended.h"
#include "runtime/core/checked.h"
#include "runtime/number/fixed_text.h"
#include "search/plan.h"

enum class PlannerOption : uint8_t { kBudget, kMin, kMax, kLock, kCurrent };

struct PlannerOptions {
  bool budgetGiven = false;
  Extended budget = Extended();
  const char* budgetText = nullptr;
  // A floor or a cap per project as given; text nullptr: none. The option that gave it,
  // its whole value ("3=0.2") and the text after "=", for the lines that name them.
  CheckedArray<Extended, 1, 8> minValue = {}, maxValue = {};
  CheckedArray<const char*, 1, 8> minText = {}, maxText = {};
  CheckedArray<const char*, 1, 8> minWord = {}, maxWord = {};
  CheckedArray<std::string_view, 1, 8> minOption = {}, maxOption = {};
  bool currentGiven = false;
  CheckedArray<Extended, 1, 8> current = {};
  const char* currentText = nullptr;
  bool frontier = false;

  bool Bounded() const;
  // Any of the options above: the report is the planner's.
  bool Any() const { return budgetGiven || Bounded() || currentGiven || frontier; }
};

// What is wrong with the planner's options; option is empty when it is no single one's
// fault (bounds that leave no allocation).
struct PlannerFault {
  std::string_view option;
  const char* value = nullptr;
  WordsLine why;
};

// Reads the value of one option into options; false, with fault filled, when it is not
// a value of that option.
bool ReadPlannerValue(PlannerOptions& options, PlannerOption which, std::string_view name,
                      const char* value, PlannerFault& fault);

// Once every option is read: each value within its range (a share, or an amount when
// --budget is given), --current adding up, and bounds that leave an allocation.
bool CheckPlanner(const PlannerOptions& options, PlannerFault& fault);

// The request for the search, in levels (a share times 9).
PlanRequest PlannerRequest(const PlannerOptions& options);
