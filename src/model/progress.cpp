#include "model/progress.h"

#include "runtime/core/io_status.h"

Progress gProgress;

void NoteLoading(const char* fileName) {
  gProgress.activity = Activity::kLoading;
  int i = 0;
  for (; i + 1 < gProgress.fileName.kSize && fileName[i] != '\0'; ++i)
    gProgress.fileName[i] = fileName[i];
  gProgress.fileName[i] = '\0';
}

void NoteTableEntry(int project, int level) {
  gProgress.project = static_cast<uint8_t>(project);
  gProgress.level = static_cast<uint8_t>(level);
}

void NoteQuestion(int question) {
  gProgress.activity = Activity::kAnswering;
  gProgress.question = static_cast<uint8_t>(question);
}

void NoteOptionAnswer(int question) {
  NoteQuestion(question);
  gProgress.optionAnswers = static_cast<uint8_t>(gProgress.optionAnswers | 1 << (question - 1));
}

void NoteCountAnswer(int32_t answer) {
  gProgress.count = answer;
  int shown = gIORecord.tokenLength < gProgress.countText.kSize ? gIORecord.tokenLength
                                                                : gProgress.countText.kSize;
  for (int i = 0; i < shown; ++i) gProgress.countText[i] = gIORecord.token[i];
  gProgress.countLength = gIORecord.tokenLength;
}

void NoteSetup() { gProgress.activity = Activity::kSettingUp; }
