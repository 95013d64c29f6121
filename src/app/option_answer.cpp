#include "app/option_answer.h"

#include <string_view>

#include "runtime/text_channel.h"

namespace {

// The text being read; the channel's handle counts the bytes it has taken.
std::string_view gAnswerText;

// The transfer operation: the next block of the text, nothing at its end.
int32_t FillFromText(TextChannel& channel) {
  std::string_view block =
      gAnswerText.substr(static_cast<size_t>(channel.handle)).substr(0, kTextBufferSize);
  int taken = 0;
  for (char c : block) channel.buffer[taken++] = static_cast<uint8_t>(c);
  channel.position = 0;
  channel.fillLevel = static_cast<uint32_t>(taken);
  channel.handle += taken;
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
