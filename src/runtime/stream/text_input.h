#pragma once
// TextChannel: a buffered byte channel for reading, bound to a named file or to standard
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

#include "runtime/core/checked.h"
#include "runtime/stream/text_buffer.h"

struct TextChannel;
using ChannelOperation = int32_t (*)(TextChannel&);  // 0 or an error code

inline constexpr uint16_t kChannelClosed = 0xD7B0;
inline constexpr uint16_t kChannelInput = 0xD7B1;  // open for reading

inline constexpr int kNameLimit = 259;  // bytes of a bound name, before its NUL

// The operations are plain function pointers set by BindFile and DefaultOpen. The byte 0x1A
// in the input always ends it.
struct TextChannel {
  int32_t handle;
  uint16_t state;      // kChannelClosed or kChannelInput; anything else: never bound
  uint32_t position;   // next byte to take from the buffer
  uint32_t fillLevel;  // valid bytes in the buffer
  ChannelOperation openOperation;
  ChannelOperation transferOperation;
  ChannelOperation closeOperation;
  CheckedArray<char, 0, kNameLimit> name;  // NUL-terminated; empty for standard input
  TextBuffer buffer;
};

extern TextChannel StandardInput;

// StandardInput back to closed with every other field empty (start-up).
void MarkStandardInputClosed();

void BindFile(TextChannel& channel, const char* name);
void OpenForReading(TextChannel& channel);
void CloseChannel(TextChannel& channel);

int32_t ReadInteger(TextChannel& channel);
long double ReadReal(TextChannel& channel);
void SkipLine(TextChannel& channel);

// The steps below are the reading machinery the operations above are built from.

inline constexpr int kEndOfInput = -1;  // ReadByte's end-of-input signal

// The next byte (0..255), or kEndOfInput at the end of the input, after a failure, or when
// the channel is not open for reading (code 104). StandardInput opens on its first read.
// A 0x1A byte stays in the buffer, so every later read ends there too; an empty read leaves
// such a marker, so the device is not asked again.
int ReadByte(TextChannel& channel);

// Gives back the byte just taken by ReadByte. Only valid right after a byte (not the end).
void StepBack(TextChannel& channel);

// Discards bytes 0x00..0x20; true when a token byte follows, false at the end of the input.
bool SkipSeparators(TextChannel& channel);

// The transfer operation: one read of up to 128 bytes into the buffer.
int32_t FillBuffer(TextChannel& channel);

// The open operation of a bound channel: the named file read-only, or standard input
// when the name is empty.
int32_t DefaultOpen(TextChannel& channel);
