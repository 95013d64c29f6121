#pragma once
// The plain-language line a stop writes to standard error after its report line, signed
// with the program's name:
//   allocate: cannot open function.txt: No such file or directory (looked for in ...)
//   allocate: function.txt, project 2, level 3: "12abc" is not a number
//   allocate: interrupted at question 1 (number of individuals)
//
// The runtime composes what it knows (the I/O record, the words of each code); the
// program hands in its name and its own words (where a number was read, what it was
// doing) at start-up. Composing and writing the line is async-signal-safe.

#include <cstdint>

#include "runtime/number/fixed_text.h"

struct StopWords {
  const char* program;  // the line's signature: "allocate"
  // Where a number was being read, ending in ": "; false when none was.
  bool (*numberPlace)(WordsLine& line);
  // The program's own account of a stop with this code; false when it has none.
  bool (*ownAccount)(uint8_t code, WordsLine& line);
  // " while ...": what the program was doing.
  void (*activity)(WordsLine& line);
  // What to do about a file not found in the working directory, added after "looked for
  // in the working directory" inside its parentheses: "; ..." or nothing.
  void (*missingFileAdvice)(WordsLine& line) = nullptr;
};

// The line for a stop with this code, ending with the system's line end. Any of the
// words' operations may be null.
WordsLine ComposeStopLine(uint8_t code, const StopWords& words);

// Composes the line and writes it to standard error; a failed write is ignored.
void WriteStopLine(uint8_t code, const StopWords& words);
