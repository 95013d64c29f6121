#include "runtime/stream/text_input.h"

#include <string_view>

#include "runtime/core/io_status.h"
#include "runtime/number/parse.h"
#include "runtime/platform/error_codes.h"
#include "runtime/platform/platform.h"

TextInput gStandardInput;

namespace {

constexpr uint8_t kEndMarker = 0x1A;

bool NamesFile(const TextInput& input) { return input.name != nullptr && input.name[0] != '\0'; }

// Every stored code is noted with its input, so that a stop can say what failed.
void StoreCode(const TextInput& input, IOOperation operation, int32_t code, bool systemError) {
  NoteIOFailure(NamesFile(input) ? IOStream::kFile : IOStream::kStandardInput, input.name,
                operation, code, systemError);
}
void StoreOwnCode(const TextInput& input, IOOperation operation, int32_t code) {
  StoreCode(input, operation, code, false);
}
void StoreSystemCode(const TextInput& input, IOOperation operation, int32_t code) {
  StoreCode(input, operation, code, true);
}

bool IsBound(InputState state) {
  return state == InputState::kClosed || state == InputState::kOpen;
}

// The named file read-only, or standard input when the name is empty.
int32_t OpenDevice(TextInput& input) {
  input.position = 0;
  input.fillLevel = 0;
  if (NamesFile(input)) {
    // A named file: read-only, never created.
    PlatformHandle handle = -1;
    int32_t code = gPlatform.openForReading(input.name, &handle);
    if (code != 0) {
      input.state = InputState::kClosed;
      return code;
    }
    input.handle = handle;
    return 0;
  }
  int32_t code = gPlatform.standardInput(&input.handle);
  if (code != 0) {
    input.state = InputState::kClosed;
    return code;
  }
  return 0;
}

// Standard input is never closed, and stays open.
int32_t CloseDevice(TextInput& input) {
  if (!NamesFile(input)) return 0;
  input.state = InputState::kClosed;
  return gPlatform.close(input.handle);
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
Token CollectToken(TextInput& input, CheckedArray<char, 0, Hi>& area) {
  int length = 0;
  bool tooLong = false;
  for (;;) {
    int b = ReadByte(input);
    if (b == kEndOfInput) break;
    if (b <= 0x20) {
      StepBack(input);
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
  gStandardInput = TextInput{};
  gStandardInput.state = InputState::kClosed;
}

int ReadByte(TextInput& input) {
  // 1. Standard input opens on its first read; any other input must be open already.
  if (input.state != InputState::kOpen) {
    if (&input == &gStandardInput) OpenForReading(input);
    if (input.state != InputState::kOpen) {
      StoreOwnCode(input, IOOperation::kRead, kNotOpenForReading);
      return kEndOfInput;
    }
  }
  for (;;) {
    // 2. A buffered byte; the end marker is never consumed.
    if (input.position < input.fillLevel) {
      uint8_t b = input.buffer[static_cast<int>(input.position)];
      if (b == kEndMarker) return kEndOfInput;
      ++input.position;
      return b;
    }
    // 3. Refill. A failure leaves no marker, so the next read asks the device again.
    int32_t code = FillBuffer(input);
    if (code != 0) {
      StoreSystemCode(input, IOOperation::kRead, code);
      return kEndOfInput;
    }
    if (input.fillLevel == 0) {
      input.buffer[static_cast<int>(input.position)] = kEndMarker;
      ++input.fillLevel;
      return kEndOfInput;
    }
  }
}

void StepBack(TextInput& input) { --input.position; }

bool SkipSeparators(TextInput& input) {
  for (;;) {
    int b = ReadByte(input);
    if (b == kEndOfInput) return false;
    if (b > 0x20) {
      StepBack(input);
      return true;
    }
  }
}

int32_t FillBuffer(TextInput& input) {
  // 1. Empty.
  input.position = 0;
  input.fillLevel = 0;
  // 2. From a text: its next block, nothing at its end.
  if (input.fromText) {
    std::string_view rest(input.text, input.textLeft);
    std::string_view block = rest.substr(0, kTextBufferSize);
    int taken = 0;
    for (char c : block) input.buffer[taken++] = static_cast<uint8_t>(c);
    input.text = rest.substr(block.size()).data();
    input.textLeft -= static_cast<uint32_t>(taken);
    input.fillLevel = static_cast<uint32_t>(taken);
    return 0;
  }
  // 3. One read; fewer bytes than asked are normal, none is the end (a broken pipe too).
  uint32_t delivered = 0;
  uint8_t* into = input.buffer.Range(0, kTextBufferSize);
  int32_t code = gPlatform.read(input.handle, into, kTextBufferSize, &delivered);
  // 4. Any other failure is the result.
  if (code != 0) return code;
  input.fillLevel = delivered;
  return 0;
}

void BindFile(TextInput& input, const char* name) {
  // 1. Everything but the buffer cleared; closed.
  input.handle = 0;
  input.position = 0;
  input.fillLevel = 0;
  input.fromText = false;
  input.state = InputState::kClosed;
  // 2. The name.
  input.name = name;
}

void OpenText(TextInput& input, std::string_view text) {
  input = TextInput{};
  input.state = InputState::kOpen;
  input.fromText = true;
  input.text = text.data();
  input.textLeft = static_cast<uint32_t>(text.size());
}

void OpenForReading(TextInput& input) {
  if (!IsBound(input.state)) {
    StoreOwnCode(input, IOOperation::kOpen, kNotBound);
    return;
  }
  // An open input is closed first, then opened again from its start.
  if (input.state == InputState::kOpen) CloseInput(input);
  input.state = InputState::kOpen;
  int32_t code = OpenDevice(input);
  if (code != 0) StoreSystemCode(input, IOOperation::kOpen, code);
}

void CloseInput(TextInput& input) {
  if (input.state == InputState::kOpen) {
    int32_t code = CloseDevice(input);
    if (code != 0) StoreSystemCode(input, IOOperation::kClose, code);
    return;
  }
  if (&input != &gStandardInput) StoreOwnCode(input, IOOperation::kClose, kNotOpen);
}

int32_t ReadInteger(TextInput& input) {
  // At the end an integer reads as 0, without error.
  if (!SkipSeparators(input)) return 0;
  CheckedArray<char, 0, 31> area;
  Token token = CollectToken(input, area);
  NoteToken(token.text, token.tooLong ? area.kSize : 0, TokenKind::kInteger);
  ParsedInteger parsed = token.tooLong ? ParsedInteger{} : ParseInteger(token.text);
  if (!parsed.ok) {
    StoreOwnCode(input, IOOperation::kRead, kInvalidNumber);
    return 0;
  }
  return parsed.value;
}

Extended ReadReal(TextInput& input) {
  NoteRealWithoutDigits(false);
  // At the end a real reads as 0.0, without error.
  if (!SkipSeparators(input)) return Extended();
  CheckedArray<char, 0, 63> area;
  Token token = CollectToken(input, area);
  // An invalid token gives 0.0, so that storing the result into a float before the
  // check cannot trap and hide the 106.
  NoteToken(token.text, token.tooLong ? area.kSize : 0, TokenKind::kReal);
  ParsedReal parsed = token.tooLong ? ParsedReal{} : ParseReal(token.text);
  if (!parsed.ok) {
    StoreOwnCode(input, IOOperation::kRead, kInvalidNumber);
    return Extended();
  }
  NoteRealWithoutDigits(parsed.withoutDigits);
  return parsed.value;
}

void SkipLine(TextInput& input) {
  for (;;) {
    int b = ReadByte(input);
    if (b == '\n' || b == kEndOfInput) return;
    // CR LF ends the line as a pair; a lone CR does not.
    if (b == '\r') {
      b = ReadByte(input);
      if (b == '\n' || b == kEndOfInput) return;
      StepBack(input);
    }
  }
}
