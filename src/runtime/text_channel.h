#pragma once
// TextChannel: a buffered byte channel for reading, bound to a named file or to standard
// input, and the token rules by which the program reads integers, reals and lines.
// Failures only store a code in the pending I/O code; reading at the end of the input
// is no error (an integer reads as 0, a real as 0.0).

#include <cstdint>

#include "runtime/checked.h"

struct TextChannel;
using ChannelOperation = int32_t (*)(TextChannel&);  // 0 or an error code

inline constexpr uint16_t kChannelClosed = 0xD7B0;
inline constexpr uint16_t kChannelInput = 0xD7B1;
inline constexpr uint16_t kChannelOutput = 0xD7B2;
inline constexpr uint16_t kChannelInOut = 0xD7B3;

inline constexpr uint16_t kEndMarkerFlag = 1;  // the byte 0x1A ends the input

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
