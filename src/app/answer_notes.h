#pragma once
// What the dialogue notes about its answers, beside the activity of model/progress.h, so
// that a stop can say which answer it came from:
//   "answer to question 1 (number of individuals)"   while an answer is typed
//   "value of --amplitude"                           while an option's answer is read
//   "$FFFF" read as -> 65535                         the count's answer, kept for a stop
//                                                    while the population is set up
// Plain data: reading the notes is async-signal-safe.

#include <cstdint>

#include "runtime/core/checked.h"

struct AnswerNotes {
  uint8_t question;                     // 1..3
  uint8_t optionAnswers;                // bit q - 1 set: question q was answered by option
  int32_t count;                        // the answer to question 1 as read; its low 8 bits count
  CheckedArray<char, 0, 15> countText;  // that answer as typed: its first bytes
  uint8_t countLength;                  // and its length (up to 255)
};

extern AnswerNotes gAnswerNotes;

// The answer to question 1..3 is read next, typed at its prompt.
void NoteQuestion(int question);
// The answer to question 1..3 comes from its option (--individuals, --iterations,
// --amplitude): the lines name the option instead of the question.
void NoteOptionAnswer(int question);
// The answer to question 1 just read: its value, and the token the input noted for it
// (later answers replace that token, a stop while setting up still quotes this one).
void NoteCountAnswer(int32_t answer);
// The answers are in; the population is set up from them.
void NoteSetup();
