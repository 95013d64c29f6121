#include "app/optimum_run.h"

#include <string_view>

#include "app/csv_report.h"
#include "model/profit_table.h"
#include "runtime/fatal.h"
#include "runtime/text_output.h"
#include "search/optimum.h"
#include "search/report_line.h"

namespace {

ProfitTable gTable;

void WriteLine(std::string_view text) {
  WriteText(text);
  WriteLineEnd();
  CheckIOResult();
}

}  // namespace

void RunOptimum(const Options& options) {
  gTable.Load(options.TableFile());
  AllocationVector shares = SharesOf(BestNinths(gTable));
  float profit = gTable.TotalProfit(shares);

  if (options.csv) {
    WriteCsvHeader();
    WriteCsvLine(1, profit, shares);
    return;
  }

  WriteLine("Exact optimum:");
  // One report line, numbered as the only allocation of the report.
  WriteText("H:1");
  WriteProfitAndShares(profit, shares);
  WriteText("  Maximum profit: ");
  WriteReal(profit, 7, 3);
  WriteLineEnd();
  CheckIOResult();
}
