#include "app/planner_options.h"

#include "runtime/number/format.h"
#include "runtime/number/parse.h"
#include "runtime/number/shortest.h"

namespace {

// Budgets beyond this would leave too few of the extended type's 19 digits for the cents.
const Extended kLargestBudget = Extended(1e15);
// --current may miss the budget by this part of it (0.1 %).
const Extended kCurrentSlack = Extended(0.001);

constexpr size_t kLongestNumber = 64;
constexpr int32_t kLargestExponent = 4000;

// The program's own reading of a number, for a token that cannot make it stop: at most
// 64 bytes, so at most 64 digits ahead of an exponent of at most 4000, which keeps the
// value far inside the extended range.
bool ReadNumber(std::string_view text, Extended& value) {
  if (text.empty() || text.size() > kLongestNumber) return false;
  size_t e = text.find_first_of("eE");
  if (e != std::string_view::npos) {
    size_t at = e + 1;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    int32_t exponent = 0;
    for (; at < text.size() && static_cast<unsigned>(text[at] - '0') < 10; ++at) {
      exponent = exponent * 10 + (text[at] - '0');
      if (exponent > kLargestExponent) return false;
    }
  }
  ParsedReal parsed = ParseReal(text);
  if (!parsed.ok) return false;
  value = parsed.value;
  return true;
}

bool Fail(PlannerFault& fault, std::string_view option, const char* value, std::string_view why) {
  fault.option = option;
  fault.value = value;
  fault.why.Add(why);
  return false;
}

// "P=X": the project and the value.
bool ReadProjectValue(std::string_view name, const char* value, int& project, Extended& x,
                      const char*& text, PlannerFault& fault) {
  std::string_view word = value;
  size_t equals = word.find('=');
  if (equals == std::string_view::npos)
    return Fail(fault, name, value, "a project 1 to 8, \"=\" and a value are needed, as in 3=0.2");
  if (equals != 1 || word[0] < '1' || word[0] > '8')
    return Fail(fault, name, value, "the projects are 1 to 8");
  project = word[0] - '0';
  text = value + 2;
  if (!ReadNumber(word.substr(2), x))
    return Fail(fault, name, value, "the value after \"=\" is not a number");
  return true;
}

bool ReadCurrent(PlannerOptions& options, std::string_view name, const char* value,
                 PlannerFault& fault) {
  std::string_view rest = value;
  int count = 0;
  CheckedArray<Extended, 1, 8> numbers = {};
  while (true) {
    size_t comma = rest.find(',');
    std::string_view field = rest.substr(0, comma);
    ++count;
    if (count <= 8 && !ReadNumber(field, numbers[count])) {
      fault.why.Add("number ").Number(count).Add(" is not a number");
      return Fail(fault, name, value, "");
    }
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
  if (count != 8) {
    fault.why.Number(count).Add(count == 1 ? " number" : " numbers").Add(" where 8 are needed");
    return Fail(fault, name, value, "");
  }
  options.currentGiven = true;
  options.current = numbers;
  options.currentText = value;
  return true;
}

// A value's reach: 0 to 1 as a share, 0 to the budget as an amount.
bool WithinReach(const PlannerOptions& options, Extended x) {
  Extended top = options.budgetGiven ? options.budget : Extended(1.0);
  return x >= Extended() && x <= top;
}

const char* OutOfReach(const PlannerOptions& options) {
  return options.budgetGiven ? "the amount is not from 0 to the budget"
                             : "the share is not from 0 to 1";
}

// A value in levels: 9 times the share, or 9 times the amount over the budget.
Extended LevelOf(const PlannerOptions& options, Extended x) {
  Extended level = Extended(9.0) * x;
  return options.budgetGiven ? level / options.budget : level;
}

// A sum as the options give it: a share, or an amount to the cent.
void AddSum(const PlannerOptions& options, Extended sum, WordsLine& line) {
  if (options.budgetGiven) {
    line.Add(FormatReal(sum, 0, 2).View());
  } else {
    line.Add(FormatShortest(sum.RoundToFloat()).View());
  }
}

void AddWhole(const PlannerOptions& options, WordsLine& line) {
  line.Add(options.budgetGiven ? "the budget, " : "the whole budget, ");
  AddSum(options, options.budgetGiven ? options.budget : Extended(1.0), line);
}

}  // namespace

bool PlannerOptions::Bounded() const {
  for (int k = 1; k <= 8; ++k) {
    if (minText[k] != nullptr || maxText[k] != nullptr) return true;
  }
  return false;
}

bool ReadPlannerValue(PlannerOptions& options, PlannerOption which, std::string_view name,
                      const char* value, PlannerFault& fault) {
  int project = 0;
  Extended x;
  const char* text = nullptr;
  switch (which) {
    case PlannerOption::kBudget:
      if (!ReadNumber(value, x) || !(x > Extended()))
        return Fail(fault, name, value, "the budget must be a positive number");
      if (x > kLargestBudget)
        return Fail(fault, name, value, "the budget must be at most 1e15, for amounts to the cent");
      options.budgetGiven = true;
      options.budget = x;
      options.budgetText = value;
      return true;
    case PlannerOption::kCurrent:
      return ReadCurrent(options, name, value, fault);
    case PlannerOption::kMin:
    case PlannerOption::kMax:
    case PlannerOption::kLock:
      if (!ReadProjectValue(name, value, project, x, text, fault)) return false;
      if (which != PlannerOption::kMax) {
        options.minValue[project] = x;
        options.minText[project] = text;
        options.minWord[project] = value;
        options.minOption[project] = name;
      }
      if (which != PlannerOption::kMin) {
        options.maxValue[project] = x;
        options.maxText[project] = text;
        options.maxWord[project] = value;
        options.maxOption[project] = name;
      }
      return true;
  }
  return true;
}

bool CheckPlanner(const PlannerOptions& options, PlannerFault& fault) {
  // 1. Each value within its reach, which --budget decides wherever it stands.
  for (int k = 1; k <= 8; ++k) {
    if (options.minText[k] != nullptr && !WithinReach(options, options.minValue[k]))
      return Fail(fault, options.minOption[k], options.minWord[k], OutOfReach(options));
    if (options.maxText[k] != nullptr && !WithinReach(options, options.maxValue[k]))
      return Fail(fault, options.maxOption[k], options.maxWord[k], OutOfReach(options));
  }
  // 2. The current split: each value within reach, the whole adding up.
  if (options.currentGiven) {
    Extended sum;
    for (int k = 1; k <= 8; ++k) {
      if (!WithinReach(options, options.current[k])) {
        fault.why.Add("number ").Number(k).Add(": ").Add(OutOfReach(options));
        return Fail(fault, "--current", options.currentText, "");
      }
      sum = sum + options.current[k];
    }
    Extended whole = options.budgetGiven ? options.budget : Extended(1.0);
    Extended miss = sum - whole;
    if (miss > whole * kCurrentSlack || -miss > whole * kCurrentSlack) {
      fault.why.Add(options.budgetGiven ? "the amounts add up to " : "the shares add up to ");
      AddSum(options, sum, fault.why);
      fault.why.Add(", not ");
      AddSum(options, whole, fault.why);
      return Fail(fault, "--current", options.currentText, " within 0.1 %");
    }
  }
  // 3. Bounds that leave an allocation of the whole budget.
  const PlanRequest request = PlannerRequest(options);
  Extended floors, caps;
  for (int k = 1; k <= 8; ++k) {
    if (request.bounds.low[k] > request.bounds.high[k]) {
      fault.why.Add("the minimum of project ").Number(k).Add(" (").Add(options.minText[k]);
      fault.why.Add(") is above its maximum (").Add(options.maxText[k]).Add(")");
      return Fail(fault, "", nullptr, "");
    }
    floors = floors + request.bounds.low[k];
    caps = caps + request.bounds.high[k];
  }
  Extended floorSum, capSum;
  for (int k = 1; k <= 8; ++k) {
    floorSum = floorSum + options.minValue[k];
    Extended whole = options.budgetGiven ? options.budget : Extended(1.0);
    capSum = capSum + (options.maxText[k] != nullptr ? options.maxValue[k] : whole);
  }
  if (floors > Extended(9.0) + kLevelSlack) {
    fault.why.Add("the minimums add up to ");
    AddSum(options, floorSum, fault.why);
    fault.why.Add(", more than ");
    AddWhole(options, fault.why);
    return Fail(fault, "", nullptr, "");
  }
  if (caps < Extended(9.0) - kLevelSlack) {
    fault.why.Add("the maximums add up to ");
    AddSum(options, capSum, fault.why);
    fault.why.Add(", less than ");
    AddWhole(options, fault.why);
    return Fail(fault, "", nullptr, "");
  }
  return true;
}

PlanRequest PlannerRequest(const PlannerOptions& options) {
  PlanRequest request;
  request.bounded = options.Bounded();
  for (int k = 1; k <= 8; ++k) {
    if (options.minText[k] != nullptr)
      request.bounds.low[k] = LevelOf(options, options.minValue[k]);
    if (options.maxText[k] != nullptr)
      request.bounds.high[k] = LevelOf(options, options.maxValue[k]);
  }
  request.hasCurrent = options.currentGiven;
  for (int k = 1; k <= 8; ++k) request.current[k] = LevelOf(options, options.current[k]);
  request.frontier = options.frontier;
  return request;
}
