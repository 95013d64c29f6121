#include "app/dialogue.h"

#include <cstdint>
#include <string_view>

#include "app/short_table.h"
#include "app/write_line.h"
#include "model/profit_table.h"
#include "model/progress.h"
#include "runtime/core/io_status.h"
#include "runtime/number/extended.h"
#include "runtime/number/random.h"
#include "runtime/stream/text_input.h"
#include "runtime/stream/text_output.h"
#include "search/population.h"

namespace {

ProfitTable gTable;
Population gPopulation;
uint8_t gCount;
uint16_t gIterations;
float gAmplitude;

// A prompt stays on the answer's line: no line end, but flushed so a console shows it.
void Prompt(std::string_view text) {
  WriteText(text);
  FlushOutput();
  CheckIOResult();
}

// The rest of the answer line is discarded before the check, also after a bad number.
int32_t AskInteger(int question, std::string_view prompt) {
  NoteQuestion(question);
  Prompt(prompt);
  int32_t answer = ReadInteger(gStandardInput);
  SkipLine(gStandardInput);
  CheckIOResult();
  return answer;
}

float AskReal(int question, std::string_view prompt) {
  NoteQuestion(question);
  Prompt(prompt);
  Extended answer = ReadReal(gStandardInput);
  // Stored at once, so a value beyond the float range stops here (205). The value of a
  // token that failed to read means nothing and must not trap ahead of its own code.
  float stored = gPendingIOCode == 0 ? ToFloat(answer) : 0.0f;
  SkipLine(gStandardInput);
  CheckIOResult();
  return stored;
}

}  // namespace

void RunDialogue() {
  // The seed first; a table that fails to load stops the run before any prompt.
  SeedFromClock();
  int numbers = gTable.Load("function.txt");
  NoteShortTable("allocate", "function.txt", numbers);

  // The answers are cut to their widths, never refused. The count's answer as typed
  // stays noted for the stop line of a count above 20.
  int32_t countAnswer = AskInteger(1, "Input number of individuals (10):");
  NoteCountAnswer(countAnswer);
  gCount = static_cast<uint8_t>(countAnswer);
  gIterations = static_cast<uint16_t>(AskInteger(2, "Input iterations count    (1000):"));
  gAmplitude = AskReal(3, "Input mutation amplitude  (0.01):");

  NoteSetup();
  gPopulation.Setup(gTable, gCount, gAmplitude);
  NoteActivity(Activity::kSearching);
  for (uint32_t i = 0; i < gIterations; ++i) gPopulation.Step();
  NoteActivity(Activity::kReporting);
  gPopulation.PrintReport();

  // The population and the table stay for the whole run: nothing to release. The wait
  // is for one line.
  WriteLine("Press ENTER to exit.");
  NoteActivity(Activity::kWaiting);
  SkipLine(gStandardInput);
  CheckIOResult();
}
