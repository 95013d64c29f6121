#include "app/stop_words.h"

#include "model/progress.h"
#include "runtime/core/error_codes.h"

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

void AddQuestionName(WordsLine& line) {
  line.Add(" (").Add(QuestionName(gProgress.question)).Add(")");
}

}  // namespace

bool NumberPlace(WordsLine& line) {
  if (gProgress.activity == Activity::kLoading) {
    line.Add(gProgress.fileName).Add(", project ").Number(gProgress.project);
    line.Add(", level ").Number(gProgress.level).Add(": ");
    return true;
  }
  if (gProgress.activity == Activity::kAnswering) {
    line.Add("answer to question ").Number(gProgress.question);
    AddQuestionName(line);
    line.Add(": ");
    return true;
  }
  return false;
}

bool OwnAccount(uint8_t code, WordsLine& line) {
  if (code == kRangeCheck && gProgress.activity == Activity::kSettingUp) {
    line.Number(static_cast<int32_t>(gProgress.count));
    line.Add(" individuals asked for, but the population holds at most 20;");
    line.Add(" answer question 1 with 20 or less");
    return true;
  }
  if (code == kInvalidOperation && gProgress.activity == Activity::kMutating) {
    line.Add("a mutation set every share of an individual to 0;");
    line.Add(" choose a smaller mutation amplitude");
    return true;
  }
  return false;
}

void ActivityWords(WordsLine& line) {
  switch (gProgress.activity) {
    case Activity::kStarting:
      break;
    case Activity::kLoading:
      line.Add(" while reading ").Add(gProgress.fileName);
      break;
    case Activity::kAnswering:
      line.Add(" at question ").Number(gProgress.question);
      AddQuestionName(line);
      break;
    case Activity::kSettingUp:
      line.Add(" while setting up the population");
      break;
    case Activity::kSearching:
    case Activity::kMutating:
      line.Add(" during the search");
      break;
    case Activity::kReporting:
      line.Add(" while printing the report");
      break;
    case Activity::kWaiting:
      line.Add(" while waiting for ENTER");
      break;
  }
}
