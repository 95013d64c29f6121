#include "app/optimum_run.h"

#include <string_view>

#include "app/short_table.h"
#include "app/write_line.h"
#include "model/profit_table.h"
#include "model/progress.h"
#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"
#include "search/individual_line.h"
#include "search/optimum.h"

namespace {

ProfitTable gTable;

}  // namespace

void RunOptimum() {
  int numbers = gTable.Load("function.txt");
  NoteShortTable("allocate-optimum", "function.txt", numbers);
  // Noted, so that a stop names the step it came from rather than the table's last entry.
  NoteActivity(Activity::kSearching);
  AllocationVector shares = SharesOf(BestNinths(gTable));
  NoteActivity(Activity::kTotalling);
  float profit = gTable.TotalProfit(shares);
  NoteActivity(Activity::kReporting);

  WriteLine("Exact optimum:");
  // One individual's line, numbered as the only allocation of the report.
  WriteText("H:1");
  WriteProfitAndShares(profit, shares);
  WriteText("  Maximum profit: ");
  WriteReal(Extended(profit), 7, 3);
  WriteLineEnd();
  CheckIOResult();
}
