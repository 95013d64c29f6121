#include "runtime/stream/text_input.h"

#include <string_view>

#include "runtime/number/parse.h"
#include "runtime/platform/platform.h"
#include "runtime/program/stop_line.h"

TextChannel StandardInput;

namespace {

constexpr uint8_t kEndMarker = 0x1A;

constexpr int32_t kNotBound = 102;
constexpr int32_t kNotOpen = 103;
constexpr int32_t kNotOpenForReading = 104;
constexpr int32_t kInvalidNumber = 106;

// Every stored code is noted with its channel, so that a stop can say what failed.
void StoreCode(const TextChannel& channel, IOOperation operation, int32_t code, bool systemError) {
  gInOutRes = code;
  bool console = channel.name[0] == '\0';
  NoteIOFailure(console ? IOStream::kStandardInput : IOStream::kFile,
                channel.name.Range(0, kNameLimit + 1), operation, code, systemError);
}
void StoreOwnCode(const TextChannel& channel, IOOperation operation, int32_t code) {
  StoreCode(channel, operation, code, false);
}
void StoreSystemCode(const TextChannel& channel, IOOperation operation, int32_t code) {
  StoreCode(channel, operation, code, true);
}

bool IsStateCode(uint16_t state) { return state == kChannelClosed || state == kChannelInput; }

int32_t DoNothing(TextChannel&) { return 0; }

int32_t CloseFileHandle(TextChannel& channel) {
  channel.state = kChannelClosed;
  return gPlatform.close(channel.handle);
}

// A token as collected: its first bytes, and whether it was longer than its area.
struct Token {
  std::string_view text;
  bool tooLong;
};

// Collects the token that SkipSeparators found. A byte of 0x20 or below ends it and stays
// in the input. A token longer than its area is consumed whole, so that its rest cannot
// pass for the next number.
template <int Hi>
Token CollectToken(TextChannel& channel, CheckedArray<char, 0, Hi>& area) {
  int length = 0;
  bool tooLong = false;
  for (;;) {
    int b = ReadByte(channel);
    if (b == kEndOfInput) break;
    if (b <= 0x20) {
      StepBack(channel);
      break;
    }
    if (length == area.kSize) {
      tooLong = true;
      continue;
    }
    area[length++] = static_cast<char>(b);
  }
  return {std::string_view(area.Range(0, length), static_cast<size_t>(length)), tooLong};
}

}  // namespace

void MarkStandardInputClosed() {
  StandardInput = TextChannel{};
  StandardInput.state = kChannelClosed;
}

int ReadByte(TextChannel& channel) {
  // 1. Standard input opens on its first read; any other channel must be open already.
  if (channel.state != kChannelInput) {
    if (&channel == &StandardInput) OpenForReading(channel);
    if (channel.state != kChannelInput) {
      StoreOwnCode(channel, IOOperation::kRead, kNotOpenForReading);
      return kEndOfInput;
    }
  }
  for (;;) {
    // 2. A buffered byte; the end marker is never consumed.
    if (channel.position < channel.fillLevel) {
      uint8_t b = channel.buffer[static_cast<int>(channel.position)];
      if (b == kEndMarker) return kEndOfInput;
      ++channel.position;
      return b;
    }
    // 3. Refill. A failure leaves no marker, so the next read asks the device again.
    int32_t code = channel.transferOperation(channel);
    if (code != 0) {
      StoreSystemCode(channel, IOOperation::kRead, code);
      return kEndOfInput;
    }
    if (channel.fillLevel == 0) {
      channel.buffer[static_cast<int>(channel.position)] = kEndMarker;
      ++channel.fillLevel;
      return kEndOfInput;
    }
  }
}

void StepBack(TextChannel& channel) { --channel.position; }

bool SkipSeparators(TextChannel& channel) {
  for (;;) {
    int b = ReadByte(channel);
    if (b == kEndOfInput) return false;
    if (b > 0x20) {
      StepBack(channel);
      return true;
    }
  }
}

int32_t FillBuffer(TextChannel& channel) {
  // 1. Empty.
  channel.position = 0;
  channel.fillLevel = 0;
  // 2. One read; fewer bytes than asked are normal, none is the end (a broken pipe too).
  uint32_t delivered = 0;
  uint8_t* into = channel.buffer.Range(0, kTextBufferSize);
  int32_t code = gPlatform.read(channel.handle, into, kTextBufferSize, &delivered);
  // 3. Any other failure is the result.
  if (code != 0) return code;
  channel.fillLevel = delivered;
  return 0;
}

int32_t DefaultOpen(TextChannel& channel) {
  // 1. Operations of a reading channel.
  channel.position = 0;
  channel.fillLevel = 0;
  channel.transferOperation = FillBuffer;
  channel.closeOperation = CloseFileHandle;
  if (channel.name[0] != '\0') {
    // 2. A named file: read-only, never created.
    PlatformHandle handle = -1;
    int32_t code = gPlatform.openForReading(channel.name.Range(0, kNameLimit + 1), &handle);
    if (code != 0) {
      channel.state = kChannelClosed;
      return code;
    }
    channel.handle = handle;
    return 0;
  }
  // 3. Standard input, which is never closed.
  channel.closeOperation = DoNothing;
  int32_t code = gPlatform.standardInput(&channel.handle);
  if (code != 0) {
    channel.state = kChannelClosed;
    return code;
  }
  return 0;
}

void BindFile(TextChannel& channel, const char* name) {
  // 1. Everything but the buffer cleared; closed, with the default open operation.
  channel.handle = 0;
  channel.position = 0;
  channel.fillLevel = 0;
  channel.transferOperation = nullptr;
  channel.closeOperation = nullptr;
  for (int i = 0; i <= kNameLimit; ++i) channel.name[i] = '\0';
  channel.state = kChannelClosed;
  channel.openOperation = DefaultOpen;
  // 2. The name, cut at 259 bytes; the field keeps its terminating NUL.
  for (int i = 0; i < kNameLimit && name[i] != '\0'; ++i) channel.name[i] = name[i];
}

void OpenForReading(TextChannel& channel) {
  if (!IsStateCode(channel.state)) {
    StoreOwnCode(channel, IOOperation::kOpen, kNotBound);
    return;
  }
  // An open channel is closed first, then opened again from its start.
  if (channel.state == kChannelInput) CloseChannel(channel);
  channel.state = kChannelInput;
  // StandardInput before its first opening has no operation yet.
  if (channel.name[0] == '\0' && channel.openOperation == nullptr)
    channel.openOperation = DefaultOpen;
  int32_t code = channel.openOperation(channel);
  if (code != 0) StoreSystemCode(channel, IOOperation::kOpen, code);
}

void CloseChannel(TextChannel& channel) {
  if (channel.state == kChannelInput) {
    int32_t code = channel.closeOperation(channel);
    if (code != 0) StoreSystemCode(channel, IOOperation::kClose, code);
    return;
  }
  if (&channel != &StandardInput) StoreOwnCode(channel, IOOperation::kClose, kNotOpen);
}

int32_t ReadInteger(TextChannel& channel) {
  // At the end an integer reads as 0, without error.
  if (!SkipSeparators(channel)) return 0;
  CheckedArray<char, 0, 31> area;
  Token token = CollectToken(channel, area);
  NoteToken(token.text, token.tooLong ? area.kSize : 0);
  ParsedInteger parsed = token.tooLong ? ParsedInteger{} : ParseInteger(token.text);
  if (!parsed.ok) {
    StoreOwnCode(channel, IOOperation::kRead, kInvalidNumber);
    return 0;
  }
  return parsed.value;
}

long double ReadReal(TextChannel& channel) {
  // At the end a real reads as 0.0, without error.
  if (!SkipSeparators(channel)) return 0.0L;
  CheckedArray<char, 0, 63> area;
  Token token = CollectToken(channel, area);
  // An invalid token gives 0.0, so that storing the result into a float before the
  // check cannot trap and hide the 106.
  NoteToken(token.text, token.tooLong ? area.kSize : 0);
  ParsedReal parsed = token.tooLong ? ParsedReal{} : ParseReal(token.text);
  if (!parsed.ok) {
    StoreOwnCode(channel, IOOperation::kRead, kInvalidNumber);
    return 0.0L;
  }
  return parsed.value;
}

void SkipLine(TextChannel& channel) {
  for (;;) {
    int b = ReadByte(channel);
    if (b == '\n' || b == kEndOfInput) return;
    // CR LF ends the line as a pair; a lone CR does not.
    if (b == '\r') {
      b = ReadByte(channel);
      if (b == '\n' || b == kEndOfInput) return;
      StepBack(channel);
    }
  }
}
