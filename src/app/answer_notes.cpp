#include "app/answer_notes.h"

#include "model/progress.h"
#include "runtime/core/io_status.h"

AnswerNotes gAnswerNotes;

void NoteQuestion(int question) {
  NoteActivity(Activity::kAnswering);
  gAnswerNotes.question = static_cast<uint8_t>(question);
}

void NoteOptionAnswer(int question) {
  NoteQuestion(question);
  gAnswerNotes.optionAnswers =
      static_cast<uint8_t>(gAnswerNotes.optionAnswers | 1 << (question - 1));
}

void NoteCountAnswer(int32_t answer) {
  AnswerNotes& notes = gAnswerNotes;
  notes.count = answer;
  int shown =
      gIORecord.tokenLength < notes.countText.kSize ? gIORecord.tokenLength : notes.countText.kSize;
  for (int i = 0; i < shown; ++i) notes.countText[i] = gIORecord.token[i];
  notes.countLength = gIORecord.tokenLength;
}

void NoteSetup() { NoteActivity(Activity::kSettingUp); }
