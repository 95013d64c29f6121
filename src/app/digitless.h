#pragma once
// The notices for numbers without digits before their exponent (".", "-.", "e5", "+.e-5").
// Each reads as 0, as the number rules say, and stays so (a stored table may mark an empty
// cell with "."); but "e5" typed for "1e5" would pass unseen. One line on standard error
// for each, signed with the program's name, placed as a stop would place it; nothing else
// changes:
//
//   allocate: function.txt, project 1, level 0: "e5" has no digits; taken as 0
//   allocate: function.txt: 2 more entries have no digits; taken as 0
//   allocate: answer to question 3 (mutation amplitude): "." has no digits; taken as 0
//   allocate: value of --amplitude: "e-2" has no digits; taken as 0

#include "model/profit_table.h"

// The entries of the table just loaded from fileName: the first kNamedDigitless by place,
// then one line that counts the others.
void NoteDigitlessEntries(const char* program, const char* fileName,
                          const DigitlessEntries& entries);

// The answer just read, if it held no digit (the I/O record says).
void NoteDigitlessAnswer(const char* program);
