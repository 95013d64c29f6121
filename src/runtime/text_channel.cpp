#include "runtime/text_channel.h"

#include <string_view>

#include "runtime/number_parse.h"
#include "runtime/platform.h"

TextChannel StandardInput;
uint16_t gChannelFlagDefault = kEndMarkerFlag;

namespace {

constexpr uint8_t kEndMarker = 0x1A;
constexpr uint32_t kBufferSize = 128;
constexpr int kNameLimit = 259;  // bytes before the terminating NUL

constexpr int32_t kNotBound = 102;
constexpr int32_t kNotOpen = 103;
constexpr int32_t kNotOpenForReading = 104;
constexpr int32_t kInvalidNumber = 106;

void StoreCode(int32_t code) { gInOutRes = code; }

bool IsStateCode(uint16_t state) { return state >= kChannelClosed && state <= kChannelInOut; }
bool IsOpen(uint16_t state) { return state >= kChannelInput && state <= kChannelInOut; }

int32_t DoNothing(TextChannel&) { return 0; }

int32_t CloseFileHandle(TextChannel& channel) {
  channel.state = kChannelClosed;
  return gPlatform.close(channel.handle);
}

uint8_t* OwnBuffer(TextChannel& channel) {
  return channel.ownBuffer.Range(0, static_cast<int>(kBufferSize));
}

// Collects the token that SkipSeparators found, up to the area's size. A byte of 0x20 or
// below ends it and stays in the input; at the size limit the next byte is not even read.
template <int Hi>
std::string_view CollectToken(TextChannel& channel, CheckedArray<char, 0, Hi>& area) {
  int length = 0;
  while (length < area.kSize) {
    int b = ReadByte(channel);
    if (b == kEndOfInput) break;
    if (b <= 0x20) {
      StepBack(channel);
      break;
    }
    area[length++] = static_cast<char>(b);
  }
  return std::string_view(area.Range(0, length), static_cast<size_t>(length));
}

}  // namespace

void MarkStandardInputClosed() {
  StandardInput = TextChannel{};
  StandardInput.state = kChannelClosed;
}

int ReadByte(TextChannel& channel) {
  // 1. Standard input opens on its first read; any other channel must be open already.
  if (channel.state != kChannelInput) {
    if (&channel == &StandardInput) {
      channel.flags = gChannelFlagDefault;
      OpenForReading(channel);
    }
    if (channel.state != kChannelInput) {
      StoreCode(kNotOpenForReading);
      return kEndOfInput;
    }
  }
  for (;;) {
    // 2. A buffered byte; the end marker is never consumed.
    if (channel.position < channel.fillLevel) {
      uint8_t b = channel.ownBuffer[static_cast<int>(channel.position)];
      if ((channel.flags & kEndMarkerFlag) != 0 && b == kEndMarker) return kEndOfInput;
      ++channel.position;
      return b;
    }
    // 3. Refill. A failure leaves no marker, so the next read asks the device again.
    int32_t code = channel.transferOperation(channel);
    if (code != 0) {
      StoreCode(code);
      return kEndOfInput;
    }
    if (channel.fillLevel == 0) {
      if ((channel.flags & kEndMarkerFlag) != 0) {
        channel.ownBuffer[static_cast<int>(channel.position)] = kEndMarker;
        ++channel.fillLevel;
      }
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
  uint8_t* into = channel.ownBuffer.Range(0, static_cast<int>(channel.bufferSize));
  int32_t code = gPlatform.read(channel.handle, into, channel.bufferSize, &delivered);
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
  channel.flushOperation = DoNothing;
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
  channel.bufferSize = kBufferSize;
  channel.buffer = OwnBuffer(channel);
  channel.closeOperation = DoNothing;
  int32_t code = gPlatform.standardInput(&channel.handle);
  if (code != 0) {
    channel.state = kChannelClosed;
    return code;
  }
  // 4.
  return 0;
}

void BindFile(TextChannel& channel, const char* name) {
  // 1. Everything but the own buffer cleared.
  channel.handle = 0;
  channel.position = 0;
  channel.fillLevel = 0;
  channel.transferOperation = nullptr;
  channel.flushOperation = nullptr;
  channel.closeOperation = nullptr;
  for (int i = 0; i <= kNameLimit; ++i) channel.name[i] = '\0';
  // 2.
  channel.buffer = OwnBuffer(channel);
  channel.state = kChannelClosed;
  channel.flags = gChannelFlagDefault;
  channel.bufferSize = kBufferSize;
  channel.openOperation = DefaultOpen;
  // 3. The name, cut at 259 bytes; the field keeps its terminating NUL.
  for (int i = 0; i < kNameLimit && name[i] != '\0'; ++i) channel.name[i] = name[i];
}

void OpenForReading(TextChannel& channel) {
  // 1.
  if (!IsStateCode(channel.state)) {
    StoreCode(kNotBound);
    return;
  }
  // 2.
  if (channel.state != kChannelClosed) CloseChannel(channel);
  // 3.
  channel.state = kChannelInput;
  // 4. StandardInput before its first opening.
  if (channel.name[0] == '\0' && channel.openOperation == nullptr)
    channel.openOperation = DefaultOpen;
  // 5.
  int32_t code = channel.openOperation(channel);
  if (code != 0) StoreCode(code);
}

void CloseChannel(TextChannel& channel) {
  if (IsOpen(channel.state)) {
    int32_t code = channel.closeOperation(channel);
    if (code != 0) StoreCode(code);
    return;
  }
  if (&channel != &StandardInput) StoreCode(kNotOpen);
}

int32_t ReadInteger(TextChannel& channel) {
  // 1. At the end an integer reads as 0, without error.
  if (!SkipSeparators(channel)) return 0;
  // 2.
  CheckedArray<char, 0, 31> area;
  std::string_view token = CollectToken(channel, area);
  // 3.
  ParsedInteger parsed = ParseInteger(token);
  if (!parsed.ok) {
    StoreCode(kInvalidNumber);
    return 0;
  }
  return parsed.value;
}

long double ReadReal(TextChannel& channel) {
  // 1. At the end a real reads as 0.0, without error.
  if (!SkipSeparators(channel)) return 0.0L;
  // 2.
  CheckedArray<char, 0, 63> area;
  std::string_view token = CollectToken(channel, area);
  // 3. An invalid token gives 0.0, so that storing the result into a float before the
  // check cannot trap and hide the 106.
  ParsedReal parsed = ParseReal(token);
  if (!parsed.ok) {
    StoreCode(kInvalidNumber);
    return 0.0L;
  }
  return parsed.value;
}

void SkipLine(TextChannel& channel) {
  for (;;) {
    // 1.
    int b = ReadByte(channel);
    if (b == '\n' || b == kEndOfInput) return;
    // 2. CR LF ends the line as a pair; a lone CR does not.
    if (b == '\r') {
      b = ReadByte(channel);
      if (b == '\n' || b == kEndOfInput) return;
      StepBack(channel);
    }
    // 3. Anything else is discarded.
  }
}
