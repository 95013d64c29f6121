#pragma once
// The plain-language line a stop writes to standard error after its report line, in the
// words of a user rather than of a code:
//   allocate: cannot open function.txt: No such file or directory
//   allocate: function.txt, project 2, level 3: "12abc" is not a number
//   allocate: interrupted at question 1 (number of individuals)
//
// The program notes what it is doing, as plain data, before the statements that can fail;
// the input and output operations note what failed where they store a pending code. The
// end sequence composes the line from fixed texts and these notes with its own digit
// writing, so composing and writing it is async-signal-safe.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/checked.h"

enum class Activity : uint8_t {
  kStarting,   // nothing noted yet
  kLoading,    // reading the profit table: fileName, project, level
  kAnswering,  // reading the answer to question 1..3
  kSettingUp,  // filling the population: count
  kSearching,  // the generation steps
  kMutating,   // a mutation within a step
  kReporting,  // printing the report
  kWaiting,    // the final wait for ENTER
};

enum class IOStream : uint8_t { kNone, kStandardInput, kStandardOutput, kFile };
enum class IOOperation : uint8_t { kOpen, kRead, kWrite, kClose };

struct StopNotes {
  Activity activity;
  uint8_t question;  // 1..3
  uint8_t project;   // 1..8
  uint8_t level;     // 0..9
  uint32_t count;    // individuals asked for
  CheckedArray<char, 0, 259> fileName;  // NUL-terminated, cut to fit
  // Bit q - 1 set: question q was answered on the command line.
  uint8_t optionAnswers;

  // The last token read: its first bytes, and the area it overflowed when too long.
  CheckedArray<char, 0, 15> token;
  uint8_t tokenLength;
  uint8_t tokenArea;  // 0, or 32 / 64 when the token was longer than that

  // The last stored I/O failure.
  IOStream stream;
  IOOperation operation;
  bool systemError;  // code is the system's error number, not one of the runtime's own
  int32_t code;

  // Set when the stop comes from a pending I/O code, with the system's message.
  bool inputOutputStop;
  CheckedArray<char, 0, 95> systemText;  // NUL-terminated
};

extern StopNotes gStopNotes;

// What the program is doing. Each note replaces the activity noted before.
void NoteLoading(const char* fileName);
void NoteTableEntry(int project, int level);
void NoteQuestion(int question);
// The answer to question 1..3 comes from its option (--individuals, --iterations,
// --amplitude): the lines name the option instead of the question.
void NoteOptionAnswer(int question);
void NoteSetup(uint32_t count);
inline void NoteActivity(Activity activity) { gStopNotes.activity = activity; }

// The token just collected (its first bytes); area is 0, or the size it did not fit.
void NoteToken(std::string_view token, int area);

// A failure stored as pending I/O code. fileName is used for IOStream::kFile.
void NoteIOFailure(IOStream stream, const char* fileName, IOOperation operation, int32_t code,
                   bool systemError);

// The stop comes from the pending I/O code: fetches the system's message for it. Runs in
// normal context only (CheckIOResult, the end of a normal run).
void NoteInputOutputStop();

// The line for a stop with this code, "allocate: " ... and a line end. Returns its length.
// The longest line the notes can give is about 430 bytes.
using StopMessageText = CheckedArray<char, 0, 511>;
int ComposeStopMessage(uint8_t code, StopMessageText& text);

// Composes the line and writes it to standard error; a failed write is ignored.
void WriteStopMessage(uint8_t code);
