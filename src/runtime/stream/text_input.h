#pragma once
// TextInput: a buffered byte channel for reading, bound to a named file or to standard
// input, and the token rules by which the program reads integers, reals and lines.
// Failures only store a code in the pending I/O code; reading at the end of the input
// is no error (an integer reads as 0, a real as 0.0).
//
//   "10 abc\r\n7"  ReadInteger -> 10, SkipLine drops " abc\r\n", ReadInteger -> 7
//   "10abc"        ReadInteger -> 0 with code 106 (the token is consumed whole)
//   "1 2\x1A 3"    ReadInteger -> 1, 2, then 0 for ever: 0x1A ends the input
//
// A token holds at most 32 bytes for an integer and 64 for a real; a longer one is invalid
// (106) and consumed whole.

#include <cstdint>
#include <string_view>

#include "runtime/arith/extended.h"
#include "runtime/core/checked.h"
#include "runtime/stream/text_buffer.h"

// A zeroed input is unbound: opening it fails with 102.
enum class InputState : uint8_t { kUnbound, kClosed, kOpen };

// The byte 0x1A in the input always ends it.
struct TextInput {
  int32_t handle;
  InputState state;    // any value but kClosed and kOpen: never bound
  uint32_t position;   // next byte to take from the buffer
  uint32_t fillLevel;  // valid bytes in the buffer
  const char* name;    // the bound file's, not copied; null or empty for standard input
  TextBuffer buffer;
  bool fromText;      // reads the text below instead of a device
  const char* text;   // of such an input: what is still to be read,
  uint32_t textLeft;  // so many bytes
};

extern TextInput gStandardInput;

// gStandardInput back to closed with every other field empty (start-up).
void MarkStandardInputClosed();

// The name is kept, not copied: it must outlive the input.
void BindFile(TextInput& input, const char* name);
// An input open for reading over a text in memory, taken block by block as a device's
// bytes would be: an answer given on the command line is read by the rules of a typed
// one. The text must outlive the reading. A failure is noted as standard input's.
void OpenText(TextInput& input, std::string_view text);
void OpenForReading(TextInput& input);
void CloseInput(TextInput& input);

int32_t ReadInteger(TextInput& input);
Extended ReadReal(TextInput& input);
void SkipLine(TextInput& input);

// The steps below are the reading machinery the operations above are built from.

inline constexpr int kEndOfInput = -1;  // ReadByte's end-of-input signal

// The next byte (0..255), or kEndOfInput at the end of the input, after a failure, or when
// the input is not open for reading (code 104). gStandardInput opens on its first read.
// A 0x1A byte stays in the buffer, so every later read ends there too; an empty read leaves
// such a marker, so the device is not asked again.
int ReadByte(TextInput& input);

// Gives back the byte just taken by ReadByte. Only valid right after a byte (not the end).
void StepBack(TextInput& input);

// Discards bytes 0x00..0x20; true when a token byte follows, false at the end of the input.
bool SkipSeparators(TextInput& input);

// One read of up to 128 bytes into the buffer; 0 or the system's error number.
int32_t FillBuffer(TextInput& input);
