#include "app/optimum_run.h"

#include <string_view>

#include "app/write_line.h"
#include "model/profit_table.h"
#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"
#include "search/individual_line.h"
#include "search/optimum.h"

namespace {

ProfitTable gTable;

}  // namespace

void RunOptimum() {
  gTable.Load("function.txt");
  AllocationVector shares = SharesOf(BestNinths(gTable));
  float profit = gTable.TotalProfit(shares);

  WriteLine("Exact optimum:");
  // One individual's line, numbered as the only allocation of the report.
  WriteText("H:1");
  WriteProfitAndShares(profit, shares);
  WriteText("  Maximum profit: ");
  WriteReal(Extended(profit), 7, 3);
  WriteLineEnd();
  CheckIOResult();
}
