#pragma once
// TextChannel: a buffered byte channel for reading, bound to a named file or to standard
// input, and the token rules by which the program reads integers, reals and lines.
// Failures only store a code in the pending I/O code; reading at the end of the input
// is no error (an integer reads as 0, a real as 0.0).
//
//   "10 abc\r\n7"  ReadInteger -> 10, SkipLine drops " abc\r\n", ReadInteger -> 7
//   "10abc"        ReadInteger -> 0 with code 106 (the token is consumed whole)
//   "1 2\x1A 3"    ReadInteger -> 1, 2, then 0 for ever: 0x1A ends the input

#include <cstdint>

#include "runtime/checked.h"

struct TextChannel;
using ChannelOperation = int32_t (*)(TextChannel&);  // 0 or an error code

inline constexpr uint16_t kChannelClosed = 0xD7B0;
inline constexpr uint16_t kChannelInput = 0xD7B1;
inline constexpr uint16_t kChannelOutput = 0xD7B2;
inline constexpr uint16_t kChannelInOut = 0xD7B3;

inline constexpr uint16_t kEndMarkerFlag = 1;  // the byte 0x1A ends the input

// The operations are plain function pointers set by BindFile and DefaultOpen. buffer always
// points at ownBuffer, whose bytes the reading code reaches through the checked array.
struct TextChannel {
  int32_t handle;
  uint16_t state;
  uint16_t flags;
  uint32_t bufferSize;
  uint32_t position;
  uint32_t fillLevel;
  uint8_t* buffer;  // always ownBuffer
  ChannelOperation openOperation;
  ChannelOperation transferOperation;
  ChannelOperation flushOperation;
  ChannelOperation closeOperation;
  CheckedArray<char, 0, 259> name;  // NUL-terminated; empty for standard input
  CheckedArray<uint8_t, 0, 127> ownBuffer;
};

extern TextChannel StandardInput;
extern uint16_t gChannelFlagDefault;

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

// The transfer operation: one read of up to bufferSize bytes into the buffer.
int32_t FillBuffer(TextChannel& channel);

// The open operation of a bound channel: the named file read-only, or standard input
// when the name is empty.
int32_t DefaultOpen(TextChannel& channel);
