#pragma once
// What the program is doing, noted as plain data before the statements that can fail,
// so that a stop can say where it happened:
//   "function.txt, project 2, level 3"      while the table loads
//   " during the search"                     while the generations run
// Each activity replaces the one noted before. Reading the notes is async-signal-safe. The
// dialogue keeps its own notes about the answers beside these (app/answer_notes.h).

#include <cstdint>

enum class Activity : uint8_t {
  kStarting,   // nothing noted yet
  kLoading,    // reading the profit table: fileName, project, level
  kAnswering,  // reading the answer to question 1..3
  kSettingUp,  // filling the population
  kSearching,  // the generation steps
  kTotalling,  // adding up the profit of the exact best allocation (allocate-optimum)
  kReporting,  // printing the report
  kWaiting,    // the final wait for ENTER
};

struct Progress {
  Activity activity;
  uint8_t project;       // 1..8
  uint8_t level;         // 0..9
  const char* fileName;  // the table's, as NoteLoading was given it
};

extern Progress gProgress;

// The table is read from fileName next; the name is kept, not copied, so it must last as
// long as the run (the programs' names come from the command line or are literals).
void NoteLoading(const char* fileName);
void NoteTableEntry(int project, int level);
inline void NoteActivity(Activity activity) { gProgress.activity = activity; }
