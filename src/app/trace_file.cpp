#include "app/trace_file.h"

#include "app/options.h"
#include "app/report.h"
#include "runtime/core/stop.h"
#include "runtime/number/fixed_text.h"
#include "runtime/stream/error_line.h"
#include "runtime/stream/output_file.h"
#include "search/trace_schedule.h"

namespace {

struct Trace {
  const char* program = nullptr;
  const char* name = nullptr;  // nullptr: no trace asked for
  OutputFile file;
  TraceSchedule schedule{0};
  uint32_t nextRow = 0;
} gTrace;

void WriteFailure(int code) {
  WordsLine line;
  line.Add(gTrace.program).Add(": cannot write the trace to ").Add(gTrace.name).Add(": ");
  AddSystemWords(line, code);
  WriteErrorLine(line.View());
}

}  // namespace

void OpenTrace(const ProgramDescription& program, const char* name) {
  gTrace.program = program.name;
  gTrace.name = name;
  if (int code = gTrace.file.Open(name); code != 0) {
    WriteFailure(code);
    EndRunWithStatus(kUsageStatus);
  }
  gTrace.file.Write(kTraceHeader);
}

void StartTrace(uint32_t steps) {
  gTrace.schedule = TraceSchedule{steps};
  gTrace.nextRow = 0;
}

void TraceBeforeStep(uint32_t done, const Population& population) {
  if (gTrace.name == nullptr || done == gTrace.schedule.last) return;
  if (gTrace.schedule.StepOfRow(gTrace.nextRow) != done) return;
  gTrace.file.Write(TraceRowOf(done, population).View());
  ++gTrace.nextRow;
}

void FinishTrace(const Population& population) {
  if (gTrace.name == nullptr) return;
  gTrace.file.Write(TraceRowOf(gTrace.schedule.last, population).View());
  if (int code = gTrace.file.Close(); code != 0) WriteFailure(code);
}
