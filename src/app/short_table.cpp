#include "app/short_table.h"

#include "runtime/number/fixed_text.h"
#include "runtime/stream/error_line.h"

namespace {

constexpr int kTableNumbers = 80;

}  // namespace

void NoteShortTable(const char* program, const char* fileName, int numbers) {
  if (numbers >= kTableNumbers) return;
  int missing = kTableNumbers - numbers;
  WordsLine line;
  line.Add(program).Add(": ").Name(fileName);
  if (numbers == 0) {
    line.Add(" holds no numbers; all 80 entries are taken as 0");
  } else {
    line.Add(" holds ").Number(numbers).Add(numbers == 1 ? " number" : " numbers");
    if (missing == 1) {
      line.Add("; the other entry is taken as 0");
    } else {
      line.Add("; the other ").Number(missing).Add(" entries are taken as 0");
    }
  }
  WriteErrorLine(line.View());
}
