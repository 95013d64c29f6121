#include "model/progress.h"

Progress gProgress;

void NoteLoading(const char* fileName) {
  gProgress.activity = Activity::kLoading;
  gProgress.fileName = fileName;
}

void NoteTableEntry(int project, int level) {
  gProgress.project = static_cast<uint8_t>(project);
  gProgress.level = static_cast<uint8_t>(level);
}
