#include "app/dialogue.h"

#include <cstdint>
#include <string_view>

#include "app/answer_notes.h"
#include "app/digitless.h"
#include "app/option_answer.h"
#include "app/report.h"
#include "app/short_table.h"
#include "app/trace_file.h"
#include "app/write_line.h"
#include "model/profit_table.h"
#include "model/progress.h"
#include "runtime/arith/extended.h"
#include "runtime/core/io_status.h"
#include "runtime/core/random.h"
#include "runtime/number/fixed_text.h"
#include "runtime/stream/error_line.h"
#include "runtime/stream/text_input.h"
#include "runtime/stream/text_output.h"
#include "search/plan.h"
#include "search/population.h"

namespace {

ProfitTable gTable;
Population gPopulation;
uint8_t gCount;
uint16_t gIterations;
float gAmplitude;

// Where the prompts go: standard output, or with --csv standard error, so that standard
// output holds only the CSV.
bool gPromptsOnStandardError;

// A prompt stays on the answer's line: no line end, but flushed so a console shows it.
void Prompt(std::string_view text) {
  if (gPromptsOnStandardError) {
    WriteErrorText(text);
    return;
  }
  WriteText(text);
  FlushOutput();
  CheckIOResult();
}

// The rest of the answer line is discarded before the check, also after a bad number.
// An answer given as option is read from its text instead, without a prompt.
int32_t AskInteger(int question, std::string_view prompt, const char* given) {
  if (given != nullptr) {
    NoteOptionAnswer(question);
    int32_t answer = ReadIntegerAnswer(given);
    CheckIOResult();
    return answer;
  }
  NoteQuestion(question);
  Prompt(prompt);
  int32_t answer = ReadInteger(gStandardInput);
  SkipLine(gStandardInput);
  CheckIOResult();
  return answer;
}

// An answer without digits reads as 0 and says so on standard error, after its line.
float AskReal(const ProgramDescription& program, int question, std::string_view prompt,
              const char* given) {
  Extended answer;
  if (given != nullptr) {
    NoteOptionAnswer(question);
    answer = ReadRealAnswer(given);
  } else {
    NoteQuestion(question);
    Prompt(prompt);
    answer = ReadReal(gStandardInput);
  }
  // Stored at once, so a value beyond the float range stops here (205). The value of a
  // token that failed to read means nothing and must not trap ahead of its own code.
  float stored = gPendingIOCode == 0 ? ToFloat(answer) : 0.0f;
  if (given == nullptr) SkipLine(gStandardInput);
  CheckIOResult();
  NoteDigitlessAnswer(program.name);
  return stored;
}

// "allocate: seed N" on standard error, so that a run seeded from the clock can be
// repeated with --seed N.
void ShowSeed(const ProgramDescription& program) {
  WordsLine line;
  line.Add(program.name).Add(": seed ").Unsigned(gRandomSeed);
  WriteErrorLine(line.View());
}

// The population's best profit, whatever its sign (0 for an empty population).
float BestFound() {
  float best = 0.0f;
  for (int i = 1; i <= gPopulation.count; ++i)
    if (i == 1 || gPopulation.Profit(i) > best) best = gPopulation.Profit(i);
  return best;
}

// The exact optimum by allocate-optimum's own code, once the report it is measured
// against is out: the search and its report stay as they are, also when the optimum's
// profit stops the run.
PlannedAllocation OptimumAfterReport() {
  PlannedAllocation optimum = ExactOptimum(gTable);
  NoteActivity(Activity::kReporting);
  return optimum;
}

}  // namespace

void RunDialogue(const ProgramDescription& program, const Options& options) {
  // A trace file that cannot be written ends the run before anything else.
  if (options.trace != nullptr) OpenTrace(program, options.trace);
  // The seed first; a table that fails to load stops the run before any prompt.
  if (options.seedGiven) {
    gRandomSeed = options.seed;
  } else {
    SeedFromClock();
  }
  if (options.showSeed) ShowSeed(program);
  int numbers = gTable.Load(options.TableFile());
  NoteDigitlessEntries(program.name, options.TableFile(), gTable.digitless);
  NoteShortTable(program.name, options.TableFile(), numbers);
  gPromptsOnStandardError = options.csv;

  // The answers are cut to their widths, never refused. The count's answer as typed
  // stays noted for the stop line of a count above 20.
  const CheckedArray<const char*, 1, 3>& given = options.answers;
  int32_t countAnswer = AskInteger(1, "Input number of individuals (10):", given[1]);
  NoteCountAnswer(countAnswer);
  gCount = static_cast<uint8_t>(countAnswer);
  gIterations = static_cast<uint16_t>(AskInteger(2, "Input iterations count    (1000):", given[2]));
  gAmplitude = AskReal(program, 3, "Input mutation amplitude  (0.01):", given[3]);

  NoteSetup();
  gPopulation.Setup(gTable, gCount, gAmplitude);
  NoteActivity(Activity::kSearching);
  StartTrace(gIterations);
  for (uint32_t i = 0; i < gIterations; ++i) {
    TraceBeforeStep(i, gPopulation);
    gPopulation.Step();
  }
  NoteActivity(Activity::kReporting);
  if (options.csv) {
    WriteCsvReport(gPopulation);
    FinishTrace(gPopulation);
    if (options.optimum) {
      PlannedAllocation optimum = OptimumAfterReport();
      WriteOptimumCsvLine(optimum.profit, optimum.shares);
    }
    return;  // for a script: no wait
  }
  WriteReport(gPopulation);
  FinishTrace(gPopulation);
  if (options.optimum) WriteOptimumLine(OptimumAfterReport().profit, BestFound());

  // The population and the table stay for the whole run: nothing to release. The wait
  // is for one line.
  if (options.noWait) return;
  WriteLine("Press ENTER to exit.");
  NoteActivity(Activity::kWaiting);
  SkipLine(gStandardInput);
  CheckIOResult();
}
