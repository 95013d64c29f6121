#include "app/trace_file.h"

#include <string_view>

#include "app/options.h"
#include "runtime/core/stop.h"
#include "runtime/number/fixed_text.h"
#include "runtime/number/shortest.h"
#include "runtime/stream/error_line.h"
#include "runtime/stream/output_file.h"
#include "search/trace_schedule.h"

namespace {

struct Trace {
  const char* name = nullptr;  // nullptr: no trace asked for
  OutputFile file;
  TraceSchedule schedule{0};
  uint32_t nextRow = 0;
} gTrace;

void Write(std::string_view text) { gTrace.file.Write(text); }

void WriteFailure(int code) {
  WordsLine line;
  line.Add("allocate: cannot write the trace to ").Add(gTrace.name).Add(": ");
  AddSystemWords(line, code);
  WriteErrorLine(line.View());
}

void WriteRow(uint32_t step, const Population& population) {
  FixedText<64> row;
  row.Unsigned(step).Put(',');
  if (population.count > 0) {
    PopulationFigures figures = population.Figures();
    row.Add(FormatShortest(figures.best).View()).Put(',');
    row.Add(FormatShortest(figures.mean).View());
  } else {
    row.Put(',');
  }
  row.Put('\n');
  Write(row.View());
}

}  // namespace

void OpenTrace(const char* name) {
  gTrace.name = name;
  if (int code = gTrace.file.Open(name); code != 0) {
    WriteFailure(code);
    gExitCode = kUsageStatus;
    EndRun();
  }
  Write("step,best,mean\n");
}

void StartTrace(uint32_t steps) {
  gTrace.schedule = TraceSchedule{steps};
  gTrace.nextRow = 0;
}

void TraceBeforeStep(uint32_t done, const Population& population) {
  if (gTrace.name == nullptr || done == gTrace.schedule.last) return;
  if (gTrace.schedule.StepOfRow(gTrace.nextRow) != done) return;
  WriteRow(done, population);
  ++gTrace.nextRow;
}

void FinishTrace(const Population& population) {
  if (gTrace.name == nullptr) return;
  WriteRow(gTrace.schedule.last, population);
  if (int code = gTrace.file.Close(); code != 0) WriteFailure(code);
}
