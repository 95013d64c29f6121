#pragma once
// The notice for a profit table file that holds fewer than its 80 numbers. Such a file is
// no error (the missing entries are 0), but it is seldom meant: an empty file, one saved
// half-way. Both programs write one line on standard error after loading it, signed with
// their own name, and change nothing else:
//
//   allocate: function.txt holds 32 numbers; the other 48 entries are taken as 0
//   allocate: function.txt holds no numbers; all 80 entries are taken as 0
//
// A file with 80 numbers or more gets no line.

// numbers: how many the file held, as ProfitTable::Load counts them (0 .. 80).
void NoteShortTable(const char* program, const char* fileName, int numbers);
