#include "app/optimum_run.h"

#include <string_view>

#include "app/csv_report.h"
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

void RunOptimum(const Options& options) {
  int numbers = gTable.Load(options.TableFile());
  NoteShortTable("allocate-optimum", options.TableFile(), numbers);
  // Noted, so that a stop names the step it came from rather than the table's last entry.
  NoteActivity(Activity::kSearching);
  AllocationVector shares = SharesOf(BestNinths(gTable));
  NoteActivity(Activity::kTotalling);
  float profit = gTable.TotalProfit(shares);
  NoteActivity(Activity::kReporting);

  if (options.csv) {
    WriteCsvHeader();
    WriteCsvLine(1, profit, shares);
    return;
  }

  WriteLine("Exact optimum:");
  // One individual's line, numbered as the only allocation of the report.
  WriteText("H:1");
  WriteProfitAndShares(profit, shares);
  WriteText("  Maximum profit: ");
  WriteReal(Extended(profit), 7, 3);
  WriteLineEnd();
  CheckIOResult();
}
