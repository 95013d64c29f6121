#include "app/optimum_run.h"

#include "app/report.h"
#include "app/short_table.h"
#include "model/profit_table.h"
#include "model/progress.h"
#include "search/optimum.h"

namespace {

ProfitTable gTable;

}  // namespace

void RunOptimum(const ProgramDescription& program, const Options& options) {
  int numbers = gTable.Load(options.TableFile());
  NoteShortTable(program.name, options.TableFile(), numbers);
  // Noted, so that a stop names the step it came from rather than the table's last entry.
  NoteActivity(Activity::kSearching);
  AllocationVector shares = SharesOf(BestNinths(gTable));
  NoteActivity(Activity::kTotalling);
  float profit = gTable.TotalProfit(shares);
  NoteActivity(Activity::kReporting);

  if (options.csv) {
    WriteOptimumCsv(profit, shares);
  } else {
    WriteOptimumReport(profit, shares);
  }
}
