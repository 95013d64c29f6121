#include "app/stop_words.h"

#include <string_view>

#include "app/answer_notes.h"
#include "model/progress.h"
#include "runtime/core/io_status.h"
#include "runtime/platform/error_codes.h"

namespace {

const char* QuestionName(int question) {
  switch (question) {
    case 1:
      return "number of individuals";
    case 2:
      return "iterations count";
    default:
      return "mutation amplitude";
  }
}

const char* OptionName(int question) {
  switch (question) {
    case 1:
      return "--individuals";
    case 2:
      return "--iterations";
    default:
      return "--amplitude";
  }
}

// The table's name, cut as the I/O record cuts it, so the longest line still fits; quoted
// when a terminal would act on one of its bytes.
void AddFileName(WordsLine& line) {
  const char* name = gProgress.fileName;
  int length = 0;
  while (length < kNameLimit && name[length] != '\0') ++length;
  line.Name(std::string_view(name, static_cast<size_t>(length)));
}

bool AnsweredByOption(int question) {
  return (gAnswerNotes.optionAnswers >> (question - 1) & 1) != 0;
}

void AddQuestionName(WordsLine& line) {
  line.Add(" (").Add(QuestionName(gAnswerNotes.question)).Add(")");
}

// A count's answer with a hexadecimal digit group ("$FFFF") or one that is no count of
// 21 .. 255 is quoted as typed, with what it was taken as: only its low 8 bits count.
// A decimal answer of 21 .. 255 is written as its value, as it always was.
void AddCountAsked(WordsLine& line) {
  const AnswerNotes& p = gAnswerNotes;
  auto individuals = static_cast<uint8_t>(p.count);
  bool hexadecimal = false;
  int shown = p.countLength < p.countText.kSize ? p.countLength : p.countText.kSize;
  for (int i = 0; i < shown; ++i) hexadecimal = hexadecimal || p.countText[i] == '$';
  if (!hexadecimal && p.count == individuals) {
    line.Number(p.count).Add(" individuals asked for");
    return;
  }
  // A token that read as an integer holds only a sign, '$' and digits: nothing to escape.
  line.Put('"');
  for (int i = 0; i < shown; ++i) line.Put(p.countText[i]);
  if (p.countLength > shown) line.Add("...");
  line.Add("\" individuals asked for, taken as ").Number(individuals);
  if (p.count != individuals) line.Add(" (only the low 8 bits count)");
}

}  // namespace

bool NumberPlace(WordsLine& line) {
  if (gProgress.activity == Activity::kLoading) {
    AddFileName(line);
    line.Add(", project ").Number(gProgress.project);
    line.Add(", level ").Number(gProgress.level).Add(": ");
    return true;
  }
  if (gProgress.activity == Activity::kAnswering && AnsweredByOption(gAnswerNotes.question)) {
    line.Add("value of ").Add(OptionName(gAnswerNotes.question)).Add(": ");
    return true;
  }
  if (gProgress.activity == Activity::kAnswering) {
    line.Add("answer to question ").Number(gAnswerNotes.question);
    AddQuestionName(line);
    line.Add(": ");
    return true;
  }
  return false;
}

bool OwnAccount(uint8_t code, WordsLine& line) {
  if (code == kRangeCheck && gProgress.activity == Activity::kSettingUp) {
    AddCountAsked(line);
    line.Add(", but the population holds at most 20;");
    line.Add(AnsweredByOption(1) ? " give --individuals 20 or less"
                                 : " answer question 1 with 20 or less");
    return true;
  }
  if (code == kFloatOverflow && gProgress.activity == Activity::kTotalling) {
    line.Add("the profit of the best allocation is beyond the single-precision range");
    line.Add(" (about 3.4E+38)");
    return true;
  }
  // Every entry is a float, so an overflow here is a sum of profits: shares stay within
  // 0 .. 1 and a mutation's noise within the float range.
  const Activity a = gProgress.activity;
  if (code == kFloatOverflow &&
      (a == Activity::kSettingUp || a == Activity::kSearching || a == Activity::kReporting)) {
    line.Add("the table's profits are too large for single precision: an allocation's total");
    line.Add(" profit is beyond its range (about 3.4E+38)");
    ActivityWords(line);
    return true;
  }
  return false;
}

void MissingTableAdvice(WordsLine& line) {
  const auto& missing = gIORecord.fileName;
  if (std::string_view(missing.Range(0, missing.kSize)) != "function.txt") return;
  line.Add("; --file PATH names another; the sample is ");
#ifdef ALLOCATE_ZIP_LAYOUT
  line.Add("examples\\function.txt in the program's folder");
#else
  // Where the Debian package installs it (cmake/Packaging.cmake).
  line.Add("/usr/share/doc/allocate/examples/function.txt");
#endif
}

void ActivityWords(WordsLine& line) {
  switch (gProgress.activity) {
    case Activity::kStarting:
      break;
    case Activity::kLoading:
      line.Add(" while reading ");
      AddFileName(line);
      break;
    case Activity::kAnswering:
      if (AnsweredByOption(gAnswerNotes.question)) {
        line.Add(" at the value of ").Add(OptionName(gAnswerNotes.question));
        break;
      }
      line.Add(" at question ").Number(gAnswerNotes.question);
      AddQuestionName(line);
      break;
    case Activity::kSettingUp:
      line.Add(" while setting up the population");
      break;
    case Activity::kSearching:
      line.Add(" during the search");
      break;
    case Activity::kTotalling:
      line.Add(" while adding up the best allocation's profit");
      break;
    case Activity::kReporting:
      line.Add(" while printing the report");
      break;
    case Activity::kWaiting:
      line.Add(" while waiting for ENTER");
      break;
  }
}
