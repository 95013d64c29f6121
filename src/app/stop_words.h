#pragma once
// allocate's own words for a stop, handed to the runtime's stop line at start-up. They
// read the notes of model/progress.h and app/answer_notes.h:
//
//   NumberPlace    "function.txt, project 2, level 3: "
//                  "answer to question 3 (mutation amplitude): "
//                  "value of --amplitude: "   (the answer given as an option)
//   OwnAccount     201 while setting up: "25 individuals asked for, but the population
//                  holds at most 20; answer question 1 with 20 or less"; an answer typed
//                  otherwise than as a decimal count of 21 .. 255 is quoted:
//                  "\"$FFFF\" individuals asked for, taken as 255 (only the low 8 bits
//                  count), but ..."; 205 while adding up the best profit (allocate-optimum)
//                  205 while the population is set up, searched or printed: "the table's
//                  profits are too large for single precision: ..."
//   ActivityWords  " while reading function.txt", " during the search", ...
//   MissingTableAdvice  for a missing function.txt: "; --file PATH names another; the
//                  sample is /usr/share/doc/allocate/examples/function.txt" (in the
//                  Windows zip: "examples\function.txt in the program's folder")

#include <cstdint>

#include "runtime/number/fixed_text.h"

// Where a number was being read, ending in ": "; false (and nothing added) otherwise.
bool NumberPlace(WordsLine& line);

// The program's own account of a stop with this code; false when it has none.
bool OwnAccount(uint8_t code, WordsLine& line);

// " while ...": what the program was doing, for a stop that carries no place of its own.
void ActivityWords(WordsLine& line);

// How to go on when function.txt is not in the working directory; nothing for another
// file.
void MissingTableAdvice(WordsLine& line);
