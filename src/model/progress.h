#pragma once
// What the program is doing, noted as plain data before the statements that can fail,
// so that a stop can say where it happened:
//   "function.txt, project 2, level 3"      while the table loads
//   "question 1 (number of individuals)"     while an answer is read
//   "$FFFF" read as -> 65535                 the count's answer, kept for a stop at setup
// Each activity replaces the one noted before. Reading the notes is async-signal-safe.

#include <cstdint>

#include "runtime/core/checked.h"

enum class Activity : uint8_t {
  kStarting,   // nothing noted yet
  kLoading,    // reading the profit table: fileName, project, level
  kAnswering,  // reading the answer to question 1..3
  kSettingUp,  // filling the population: count
  kSearching,  // the generation steps
  kTotalling,  // adding up the profit of the exact best allocation (allocate-optimum)
  kReporting,  // printing the report
  kWaiting,    // the final wait for ENTER
};

struct Progress {
  Activity activity;
  uint8_t question;                     // 1..3
  uint8_t project;                      // 1..8
  uint8_t level;                        // 0..9
  int32_t count;                        // the answer to question 1 as read; its low 8 bits count
  CheckedArray<char, 0, 15> countText;  // that answer as typed: its first bytes
  uint8_t countLength;                  // and its length (up to 255)
  CheckedArray<char, 0, 259> fileName;  // NUL-terminated, cut to fit
  uint8_t optionAnswers;                // bit q - 1 set: question q was answered by option
};

extern Progress gProgress;

void NoteLoading(const char* fileName);
void NoteTableEntry(int project, int level);
void NoteQuestion(int question);
// The answer to question 1..3 comes from its option (--individuals, --iterations,
// --amplitude): the lines name the option instead of the question.
void NoteOptionAnswer(int question);
// The answer to question 1 just read: its value, and the token the input noted for it
// (later answers replace that token, a stop while setting up still quotes this one).
void NoteCountAnswer(int32_t answer);
void NoteSetup();
inline void NoteActivity(Activity activity) { gProgress.activity = activity; }
