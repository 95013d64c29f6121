#include "app/digitless.h"

#include <string_view>

#include "app/stop_words.h"
#include "runtime/core/io_status.h"
#include "runtime/number/fixed_text.h"
#include "runtime/stream/error_line.h"

namespace {

constexpr std::string_view kTakenAsZero = " has no digits; taken as 0";

// A token's first bytes as the input noted them (length is its whole length).
void AddToken(WordsLine& line, const CheckedArray<char, 0, 15>& token, int length) {
  int shown = length < token.kSize ? length : token.kSize;
  line.Quoted(std::string_view(token.Range(0, shown), static_cast<size_t>(shown)), length > shown);
}

}  // namespace

void NoteDigitlessEntries(const char* program, const char* fileName,
                          const DigitlessEntries& entries) {
  int named = entries.count < kNamedDigitless ? entries.count : kNamedDigitless;
  for (int i = 1; i <= named; ++i) {
    const DigitlessEntry& entry = entries.first[i];
    WordsLine line;
    line.Add(program).Add(": ").Name(fileName);
    line.Add(", project ").Number(entry.project).Add(", level ").Number(entry.level).Add(": ");
    AddToken(line, entry.token, entry.length);
    line.Add(kTakenAsZero);
    WriteErrorLine(line.View());
  }
  int more = entries.count - named;
  if (more <= 0) return;
  WordsLine line;
  line.Add(program).Add(": ").Name(fileName).Add(": ").Number(more);
  line.Add(more == 1 ? " more entry has no digits; taken as 0"
                     : " more entries have no digits; taken as 0");
  WriteErrorLine(line.View());
}

void NoteDigitlessAnswer(const char* program) {
  const IORecord& r = gIORecord;
  if (!r.realWithoutDigits) return;
  WordsLine line;
  line.Add(program).Add(": ");
  NumberPlace(line);
  AddToken(line, r.token, r.tokenLength);
  line.Add(kTakenAsZero);
  WriteErrorLine(line.View());
}
