#include "app/answer_notes.h"

#include <gtest/gtest.h>

#include <string>

#include "model/progress.h"
#include "runtime/core/io_status.h"

namespace {

void ClearNotes() {
  gProgress = Progress{};
  gAnswerNotes = AnswerNotes{};
  gIORecord = IORecord{};
}

std::string CountText() {
  const AnswerNotes& notes = gAnswerNotes;
  int shown = notes.countLength < notes.countText.kSize ? notes.countLength : notes.countText.kSize;
  return std::string(notes.countText.Range(0, shown), static_cast<size_t>(shown));
}

// Each question is the activity while its answer is read; an answer given as an option
// is remembered as such for the rest of the run, so later lines still name the option.
TEST(AnswerNotesTest, QuestionsAndTheOptionsThatAnsweredThem) {
  ClearNotes();
  struct Step {
    bool byOption;
    int question;
    uint8_t optionAnswers;  // after the step
  } const steps[] = {
      {true, 1, 0b001},
      {false, 2, 0b001},
      {true, 3, 0b101},
  };
  for (const Step& step : steps) {
    NoteActivity(Activity::kStarting);
    if (step.byOption) {
      NoteOptionAnswer(step.question);
    } else {
      NoteQuestion(step.question);
    }
    EXPECT_EQ(gProgress.activity, Activity::kAnswering) << step.question;
    EXPECT_EQ(gAnswerNotes.question, step.question);
    EXPECT_EQ(gAnswerNotes.optionAnswers, step.optionAnswers) << step.question;
  }
  NoteSetup();
  EXPECT_EQ(gProgress.activity, Activity::kSettingUp);
  EXPECT_EQ(gAnswerNotes.optionAnswers, 0b101);
}

// The count's answer keeps the token as the input noted it: its first 16 bytes and its
// whole length (at most 255), and later tokens leave it alone.
TEST(AnswerNotesTest, CountAnswerKeepsItsToken) {
  struct Row {
    std::string token;
    int32_t value;
    std::string kept;
    int length;
  } const rows[] = {
      {"25", 25, "25", 2},
      {"$FFFF", 65535, "$FFFF", 5},
      {"0000000000000000000266", 266, "0000000000000000", 22},
      {std::string(300, '1'), 0, std::string(16, '1'), 255},
  };
  for (const Row& row : rows) {
    ClearNotes();
    NoteToken(row.token, 0, TokenKind::kInteger);
    NoteCountAnswer(row.value);
    NoteToken("1000", 0, TokenKind::kInteger);
    EXPECT_EQ(gAnswerNotes.count, row.value) << row.token;
    EXPECT_EQ(CountText(), row.kept) << row.token;
    EXPECT_EQ(gAnswerNotes.countLength, row.length) << row.token;
  }
  ClearNotes();
}

}  // namespace
