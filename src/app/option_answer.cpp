#include "app/option_answer.h"

#include "runtime/text_channel.h"

namespace {

// The text being read and how much of it the channel has taken (the channel's handle).
const char* gAnswerText = "";

// The transfer operation: the next block of the text, nothing at its end.
int32_t FillFromText(TextChannel& channel) {
  channel.position = 0;
  uint32_t taken = 0;
  const char* from = gAnswerText + channel.handle;
  while (taken < kTextBufferSize && from[taken] != '\0') {
    channel.buffer[static_cast<int>(taken)] = static_cast<uint8_t>(from[taken]);
    ++taken;
  }
  channel.fillLevel = taken;
  channel.handle += static_cast<int32_t>(taken);
  return 0;
}

int32_t NothingToClose(TextChannel&) { return 0; }

// A channel open for reading over the text, without a name: it is nobody's file.
TextChannel& ChannelOver(const char* text) {
  static TextChannel channel;
  gAnswerText = text;
  channel = TextChannel{};
  channel.state = kChannelInput;
  channel.transferOperation = FillFromText;
  channel.closeOperation = NothingToClose;
  return channel;
}

}  // namespace

int32_t ReadIntegerAnswer(const char* text) { return ReadInteger(ChannelOver(text)); }

long double ReadRealAnswer(const char* text) { return ReadReal(ChannelOver(text)); }
