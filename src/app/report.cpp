#include "app/report.h"

#include <cstdint>
#include <string_view>

#include "app/column_table.h"
#include "app/write_line.h"
#include "runtime/arith/extended.h"
#include "runtime/core/io_status.h"
#include "runtime/number/format.h"
#include "runtime/number/shortest.h"
#include "runtime/stream/text_output.h"

namespace {

// The head's first part ("H:3") is in the statement the profit ends.
void WriteIndividualLine(int number, float profit, const AllocationVector& shares) {
  // 1. The head and the profit.
  WriteText("H:");
  WriteInteger(number);
  WriteText(" F:");
  WriteReal(Extended(profit), 7, 3);
  WriteText(" W:");
  FlushOutput();
  CheckIOResult();
  // 2. One statement per share.
  for (int k = 1; k <= 8; ++k) {
    WriteReal(Extended(shares[k]), 5, 3);
    WriteChar(' ');
    FlushOutput();
    CheckIOResult();
  }
  // 3. The line end.
  WriteLineEnd();
  CheckIOResult();
}

void WriteMaximumProfit(float profit) {
  WriteText("  Maximum profit: ");
  WriteReal(Extended(profit), 7, 3);
  WriteLineEnd();
  CheckIOResult();
}

void EndCsvLine() {
  WriteChar('\n');
  FlushOutput();
  CheckIOResult();
}

void WriteShortest(float x) {
  NumberText text = FormatShortest(x);
  WriteText(text.View());
}

void WriteCsvHeader() {
  WriteText("individual,profit,share1,share2,share3,share4,share5,share6,share7,share8");
  EndCsvLine();
}

void WriteCsvLine(int32_t individual, float profit, const AllocationVector& shares) {
  WriteInteger(individual);
  WriteChar(',');
  WriteShortest(profit);
  for (int k = 1; k <= 8; ++k) {
    WriteChar(',');
    WriteShortest(shares[k]);
  }
  EndCsvLine();
}

using Cell = ColumnTable::Cell;

Cell Fixed(Extended x, int decimals) {
  Cell cell;
  cell.Add(FormatReal(x, 0, decimals).View());
  return cell;
}

Cell Profit(float profit) { return Fixed(Extended(profit), 3); }

// levels * budget / 9, to the cent.
Cell Amount(const PlannerOptions& options, Extended levels) {
  return Fixed(levels * options.budget / Extended(9.0), 2);
}

// "2/9" on a whole level, the share to 3 decimals otherwise.
Cell Share(Extended levels) {
  Cell cell;
  if (IsWholeLevel(levels)) {
    cell.Number(TruncateToByte(levels)).Add("/9");
  } else {
    cell.Add(FormatReal(levels / Extended(9.0), 0, 3).View());
  }
  return cell;
}

// What the options give an allocation in: amounts with --budget, shares otherwise.
Cell Part(const PlannerOptions& options, Extended levels) {
  return options.budgetGiven ? Amount(options, levels) : Fixed(levels / Extended(9.0), 3);
}

Extended SumOf(const Levels& levels) {
  Extended sum;
  for (int k = 1; k <= 8; ++k) sum = sum + levels[k];
  return sum;
}

void BlankLine() { WriteLine(""); }

void WriteProjects(const Plan& plan, const PlannerOptions& options) {
  const bool current = options.currentGiven, frontier = options.frontier;
  ColumnTable table;
  table.Add("Project").Add("Share");
  if (options.budgetGiven) table.Add("Amount");
  table.Add("Profit");
  if (current) table.Add("Current").Add("Current profit");
  if (frontier) table.Add("One more ninth");
  table.EndRow();
  for (int k = 1; k <= 8; ++k) {
    Cell number;
    number.Number(k);
    table.Add(number.View()).Add(Share(plan.best.levels[k]).View());
    if (options.budgetGiven) table.Add(Amount(options, plan.best.levels[k]).View());
    table.Add(Profit(plan.best.projectProfits[k]).View());
    if (current) {
      table.Add(Part(options, plan.current.levels[k]).View());
      table.Add(Profit(plan.current.projectProfits[k]).View());
    }
    if (frontier) table.Add(plan.nextNinthHas[k] ? Profit(plan.nextNinth[k]).View() : "-");
    table.EndRow();
  }
  table.Add("Total").Add("9/9");
  if (options.budgetGiven) table.Add(Amount(options, Extended(9.0)).View());
  table.Add(Profit(plan.best.profit).View());
  if (current) {
    table.Add(Part(options, SumOf(plan.current.levels)).View());
    table.Add(Profit(plan.current.profit).View());
  }
  table.EndRow();
  table.Write();
}

// A labelled figure in the layout of the maximum-profit line.
void WriteFigure(std::string_view label, float profit) {
  WriteText(label);
  WriteReal(Extended(profit), 7, 3);
}

void WriteGain(const Plan& plan) {
  WriteFigure("  Current profit: ", plan.current.profit);
  WriteLineEnd();
  CheckIOResult();
  WriteFigure("  Best profit:    ", plan.best.profit);
  WriteLineEnd();
  CheckIOResult();
  Extended gain = Extended(plan.best.profit) - Extended(plan.current.profit);
  WriteText("  Gain:           ");
  WriteReal(gain, 7, 3);
  if (plan.current.profit != 0.0f) {
    Extended base = Extended(plan.current.profit);
    if (base < Extended()) base = -base;
    WriteText(" (");
    WriteReal(gain / base * Extended(100.0), 0, 2);
    WriteText(" %)");
  }
  WriteLineEnd();
  CheckIOResult();
}

void WriteFrontier(const Plan& plan, const PlannerOptions& options) {
  WriteLine("Best allocation of each part of the budget:");
  ColumnTable table;
  table.Add("Total");
  if (options.budgetGiven) table.Add("Amount");
  table.Add("Profit");
  for (int k = 1; k <= 8; ++k) {
    Cell name;
    name.Put('P').Number(k);
    table.Add(name.View());
  }
  table.EndRow();
  for (int total = 0; total <= 9; ++total) {
    const PlannedAllocation& row = plan.frontier[total];
    Cell label;
    label.Number(total).Add("/9");
    table.Add(label.View());
    if (options.budgetGiven) table.Add(Amount(options, Extended::FromInt(total)).View());
    table.Add(row.found ? Profit(row.profit).View() : "-");
    for (int k = 1; k <= 8; ++k) table.Add(row.found ? Part(options, row.levels[k]).View() : "-");
    table.EndRow();
  }
  table.Write();
}

// CSV: a field after a comma.
void Field(std::string_view text) {
  WriteChar(',');
  WriteText(text);
}

void Shortest(float x) {
  WriteChar(',');
  WriteShortest(x);
}

void HeaderFields(std::string_view name, int from, int to) {
  for (int k = from; k <= to; ++k) {
    WriteChar(',');
    WriteText(name);
    WriteInteger(k);
  }
}

// The profit, the shares and with --budget the amounts of one allocation; empty fields
// where there is none.
void AllocationFields(const PlannedAllocation& allocation, const PlannerOptions& options) {
  if (!allocation.found) {
    for (int n = 0; n < (options.budgetGiven ? 17 : 9); ++n) WriteChar(',');
    return;
  }
  Shortest(allocation.profit);
  for (int k = 1; k <= 8; ++k) Shortest(allocation.shares[k]);
  if (!options.budgetGiven) return;
  for (int k = 1; k <= 8; ++k) Field(Amount(options, allocation.levels[k]).View());
}

void WriteFrontierCsv(const Plan& plan, const PlannerOptions& options) {
  WriteText("total");
  if (options.budgetGiven) WriteText(",amount");
  WriteText(",profit");
  HeaderFields("share", 1, 8);
  if (options.budgetGiven) HeaderFields("amount", 1, 8);
  HeaderFields("next", 1, 8);
  EndCsvLine();
  for (int total = 0; total <= 9; ++total) {
    WriteInteger(total);
    WriteText("/9");
    if (options.budgetGiven) Field(Amount(options, Extended::FromInt(total)).View());
    AllocationFields(plan.frontier[total], options);
    for (int k = 1; k <= 8; ++k) {
      if (total == 9 && plan.nextNinthHas[k]) {
        Shortest(plan.nextNinth[k]);
      } else {
        WriteChar(',');
      }
    }
    EndCsvLine();
  }
  if (options.currentGiven) {
    WriteText("current");
    if (options.budgetGiven) Field(Amount(options, SumOf(plan.current.levels)).View());
    AllocationFields(plan.current, options);
    for (int k = 1; k <= 8; ++k) WriteChar(',');
    EndCsvLine();
  }
}

}  // namespace

void WriteReport(const Population& population) {
  WriteLine("Optimal solution:");
  for (int i = 1; i <= population.count; ++i)
    WriteIndividualLine(i, population.Profit(i), population.individuals[i]);
  WriteMaximumProfit(population.BestProfit());
}

void WriteOptimumReport(float profit, const AllocationVector& shares) {
  WriteLine("Exact optimum:");
  WriteIndividualLine(1, profit, shares);
  WriteMaximumProfit(profit);
}

void WriteCsvReport(const Population& population) {
  WriteCsvHeader();
  for (int i = 1; i <= population.count; ++i)
    WriteCsvLine(i, population.Profit(i), population.individuals[i]);
}

void WriteOptimumCsv(float profit, const AllocationVector& shares) {
  WriteCsvHeader();
  WriteCsvLine(1, profit, shares);
}

void WritePlannerReport(const Plan& plan, const PlannerOptions& options) {
  WriteLine(options.Bounded() ? "Exact optimum within the bounds:" : "Exact optimum:");
  WriteIndividualLine(1, plan.best.profit, plan.best.shares);
  WriteMaximumProfit(plan.best.profit);
  BlankLine();
  WriteProjects(plan, options);
  if (options.currentGiven) {
    BlankLine();
    WriteGain(plan);
  }
  if (options.frontier) {
    BlankLine();
    WriteFrontier(plan, options);
  }
}

void WritePlannerCsv(const Plan& plan, const PlannerOptions& options) {
  if (options.frontier) {
    WriteFrontierCsv(plan, options);
    return;
  }
  WriteText("individual,profit");
  HeaderFields("share", 1, 8);
  if (options.budgetGiven) HeaderFields("amount", 1, 8);
  EndCsvLine();
  WriteText("1");
  AllocationFields(plan.best, options);
  EndCsvLine();
  if (options.currentGiven) {
    WriteText("current");
    AllocationFields(plan.current, options);
    EndCsvLine();
  }
}

void WriteOptimumLine(float optimum, float bestFound) {
  WriteFigure("  Exact optimum:  ", optimum);
  WriteText(" (best found ");
  if (!(bestFound < optimum)) {
    WriteReal(Extended(), 0, 2);
  } else if (optimum != 0.0f) {
    Extended base = Extended(optimum);
    if (base < Extended()) base = -base;
    WriteReal((Extended(optimum) - Extended(bestFound)) / base * Extended(100.0), 0, 2);
  } else {
    WriteText("-");
  }
  WriteText(" % short)");
  WriteLineEnd();
  CheckIOResult();
}

void WriteOptimumCsvLine(float profit, const AllocationVector& shares) {
  WriteText("optimum");
  Shortest(profit);
  for (int k = 1; k <= 8; ++k) Shortest(shares[k]);
  EndCsvLine();
}

TraceRow TraceRowOf(uint32_t step, const Population& population) {
  TraceRow row;
  row.Unsigned(step).Put(',');
  if (population.count > 0) {
    PopulationFigures figures = population.Figures();
    row.Add(FormatShortest(figures.best).View()).Put(',');
    row.Add(FormatShortest(figures.mean).View());
  } else {
    row.Put(',');
  }
  row.Put('\n');
  return row;
}
