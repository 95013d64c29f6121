#include "app/optimum_run.h"

#include "app/digitless.h"
#include "app/report.h"
#include "app/short_table.h"
#include "model/profit_table.h"
#include "model/progress.h"
#include "search/plan.h"

namespace {

ProfitTable gTable;

}  // namespace

void RunOptimum(const ProgramDescription& program, const Options& options) {
  int numbers = gTable.Load(options.TableFile());
  NoteDigitlessEntries(program.name, options.TableFile(), gTable.digitless);
  NoteShortTable(program.name, options.TableFile(), numbers);
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
  // The same code as allocate --optimum's.
  PlannedAllocation best = ExactOptimum(gTable);
  const AllocationVector& shares = best.shares;
  float profit = best.profit;
  NoteActivity(Activity::kReporting);

  if (options.csv) {
    WriteOptimumCsv(profit, shares);
  } else {
    WriteOptimumReport(profit, shares);
  }
}
