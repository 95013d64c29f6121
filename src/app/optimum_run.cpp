#include "app/optimum_run.h"

#include <string_view>

#include "app/csv_report.h"
#include "app/planner_report.h"
#include "app/short_table.h"
#include "app/write_line.h"
#include "model/profit_table.h"
#include "model/progress.h"
#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"
#include "search/individual_line.h"
#include "search/plan.h"

namespace {

ProfitTable gTable;

}  // namespace

void RunOptimum(const Options& options) {
  int numbers = gTable.Load(options.TableFile());
  NoteShortTable("allocate-optimum", options.TableFile(), numbers);
  if (options.planner.Any()) {
    Plan plan = MakePlan(gTable, PlannerRequest(options.planner));
    NoteActivity(Activity::kReporting);
    if (options.csv) {
      WritePlannerCsv(plan, options.planner);
    } else {
      WritePlannerReport(plan, options.planner);
    }
    return;
  }
  PlannedAllocation best = ExactOptimum(gTable);
  const AllocationVector& shares = best.shares;
  float profit = best.profit;
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
