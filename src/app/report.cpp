#include "app/report.h"

#include <cstdint>
#include <string_view>

#include "app/write_line.h"
#include "runtime/arith/extended.h"
#include "runtime/core/io_status.h"
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
