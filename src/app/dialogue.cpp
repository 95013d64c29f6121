#include "app/dialogue.h"

#include <cstdint>
#include <string_view>

#include "app/csv_report.h"
#include "app/option_answer.h"
#include "model/profit_table.h"
#include "runtime/fatal.h"
#include "runtime/fpu.h"
#include "runtime/platform.h"
#include "runtime/random.h"
#include "runtime/stop_message.h"
#include "runtime/text_channel.h"
#include "runtime/text_output.h"
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
  int32_t answer = ReadInteger(StandardInput);
  SkipLine(StandardInput);
  CheckIOResult();
  return answer;
}

float AskReal(int question, std::string_view prompt, const char* given) {
  long double answer;
  if (given != nullptr) {
    NoteOptionAnswer(question);
    answer = ReadRealAnswer(given);
  } else {
    NoteQuestion(question);
    Prompt(prompt);
    answer = ReadReal(StandardInput);
  }
  // Stored at once, so a value beyond the float range stops here (205). The value of a
  // token that failed to read means nothing and must not trap ahead of its own code.
  float stored = gInOutRes == 0 ? ToFloat(answer) : 0.0f;
  if (given == nullptr) SkipLine(StandardInput);
  CheckIOResult();
  return stored;
}

void WriteLine(std::string_view text) {
  WriteText(text);
  WriteLineEnd();
  CheckIOResult();
}

// "allocate: seed N" on standard error, so that a run seeded from the clock can be
// repeated with --seed N.
void ShowSeed() {
  CheckedArray<char, 0, 39> line;
  int length = 0;
  for (char c : std::string_view("allocate: seed ")) line[length++] = c;
  // FormatInteger takes signed values; a seed may use all 32 bits.
  CheckedArray<char, 0, 9> digits;
  int count = 0;
  uint32_t seed = RandomSeed;
  do {
    digits[count++] = static_cast<char>('0' + seed % 10);
    seed /= 10;
  } while (seed != 0);
  while (count > 0) line[length++] = digits[--count];
  for (const char* end = kPlatformLineEnd; *end != '\0'; ++end) line[length++] = *end;
  PlatformWriteErrorStream(line.Range(0, length), static_cast<size_t>(length));
}

void WriteCsv() {
  WriteCsvHeader();
  for (int i = 1; i <= gPopulation.count; ++i)
    WriteCsvLine(i, gPopulation.Profit(i), gPopulation.individuals[i]);
}

}  // namespace

void RunDialogue(const Options& options) {
  // The seed first; a table that fails to load stops the run before any prompt.
  if (options.seedGiven) {
    RandomSeed = options.seed;
  } else {
    SeedFromClock();
  }
  if (options.showSeed) ShowSeed();
  gTable.Load(options.TableFile());

  // The answers are cut to their widths, never refused.
  const CheckedArray<const char*, 1, 3>& given = options.answers;
  gCount = static_cast<uint8_t>(AskInteger(1, "Input number of individuals (10):", given[1]));
  gIterations = static_cast<uint16_t>(AskInteger(2, "Input iterations count    (1000):", given[2]));
  gAmplitude = AskReal(3, "Input mutation amplitude  (0.01):", given[3]);

  NoteSetup(gCount);
  gPopulation.Setup(gTable, gCount, gAmplitude);
  NoteActivity(Activity::kSearching);
  for (uint32_t i = 0; i < gIterations; ++i) gPopulation.Step();
  NoteActivity(Activity::kReporting);
  if (options.csv) {
    WriteCsv();
    return;  // for a script: no wait
  }
  gPopulation.PrintReport();

  // The population and the table stay for the whole run: nothing to release. The wait
  // is for one line.
  if (options.noWait) return;
  WriteLine("Press ENTER to exit.");
  NoteActivity(Activity::kWaiting);
  SkipLine(StandardInput);
  CheckIOResult();
}
