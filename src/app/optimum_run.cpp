#include "app/optimum_run.h"

#include <string_view>

#include "app/short_table.h"
#include "model/profit_table.h"
#include "runtime/fatal.h"
#include "runtime/stop_message.h"
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

void RunOptimum() {
  int numbers = gTable.Load("function.txt");
  NoteShortTable("function.txt", numbers);
  // Noted, so that a stop names the step it came from rather than the table's last entry.
  NoteActivity(Activity::kSearching);
  AllocationVector shares = SharesOf(BestNinths(gTable));
  NoteActivity(Activity::kTotalling);
  float profit = gTable.TotalProfit(shares);
  NoteActivity(Activity::kReporting);

  WriteLine("Exact optimum:");
  // One report line, numbered as the only allocation of the report.
  WriteText("H:1");
  WriteProfitAndShares(profit, shares);
  WriteText("  Maximum profit: ");
  WriteReal(profit, 7, 3);
  WriteLineEnd();
  CheckIOResult();
}
