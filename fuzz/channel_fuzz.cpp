// Arbitrary byte streams read through the text channel, delivered by the fake device in
// chunks of any size, on a named file or on standard input.
//
// Input: byte 0 bit 0 selects standard input; byte 1 (mod 33) is the number of
// operations; that many bytes follow, each (mod 3) ReadInteger, ReadReal or SkipLine;
// the rest is the stream.
//
// After every operation the channel has consumed exactly the bytes the token rules say
// (token_model.h), and a token gives the value of its own conversion (106 when invalid).
// At the end every byte up to the end of the input has been consumed once, and the device
// is never asked again after it reported the end.

#include <signal.h>

#include <cstring>

#include "harness.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/number/parse.h"
#include "runtime/stream/text_input.h"
#include "token_model.h"

namespace {

// Bytes taken from the device less those still waiting in the buffer. The end marker the
// channel stores itself, when the device delivers nothing, is no byte of the stream.
size_t Consumed(const TextInput& channel) {
  size_t waiting = channel.fillLevel - channel.position;
  bool ownEndMarker = Device().endReported && channel.fillLevel == 1 && channel.position == 0 &&
                      channel.buffer.items[0] == 0x1A;
  return Device().delivered - waiting + (ownEndMarker ? 1 : 0);
}

bool SameBits(Extended a, Extended b) {
  return a.Negative() == b.Negative() && a.Exponent() == b.Exponent() &&
         a.Significand() == b.Significand();
}

// One ReadReal; false when the run cannot go on (the value trapped).
bool CheckReadReal(TextInput& channel, model::Stream& stream) {
  int32_t before = gPendingIOCode;
  std::optional<std::string_view> token = stream.NextToken();
  Extended got;
  Outcome outcome = Run([&] { got = ReadReal(channel); });
  Require(outcome.kind != Outcome::kStopped, "ReadReal stopped the run");
  if (outcome.kind == Outcome::kTrapped) {
    Require(token.has_value() && !model::TooLong(*token, model::kRealArea) &&
                outcome.trapCode == FPE_FLTOVF,
            "ReadReal trapped other than by overflow");
    model::RealClass c = model::Classify(model::ReferenceReal(*token));
    Require(c == model::RealClass::kOverflow || c == model::RealClass::kFiniteOrOverflow,
            "ReadReal trapped on a token within the extended range");
    return false;
  }
  if (!token) {
    Require(SameBits(got, Extended()) && gPendingIOCode == before,
            "ReadReal at the end did not give 0.0 quietly");
    return true;
  }
  if (model::TooLong(*token, model::kRealArea)) {
    Require(gPendingIOCode == 106, "a real token longer than its area did not store 106");
    return true;
  }
  ParsedReal want{};
  Outcome parsed = Run([&] { want = ParseReal(*token); });
  Require(parsed.kind == Outcome::kReturned,
          "the token that ReadReal read without trapping traps alone");
  if (want.ok)
    Require(SameBits(got, want.value) && gPendingIOCode == before,
            "ReadReal gave another value than its token");
  else
    Require(gPendingIOCode == 106, "an invalid real token did not store 106");
  return true;
}

void CheckReadInteger(TextInput& channel, model::Stream& stream) {
  int32_t before = gPendingIOCode;
  std::optional<std::string_view> token = stream.NextToken();
  int32_t got = -1;
  Outcome outcome = Run([&] { got = ReadInteger(channel); });
  Require(outcome.kind == Outcome::kReturned, "ReadInteger stopped the run");
  if (!token) {
    Require(got == 0 && gPendingIOCode == before, "ReadInteger at the end did not give 0 quietly");
    return;
  }
  model::IntegerReference want = model::ReferenceInteger(*token);
  if (want.ok && !model::TooLong(*token, model::kIntegerArea))
    Require(got == want.value && gPendingIOCode == before,
            "ReadInteger gave another value than its token");
  else
    Require(gPendingIOCode == 106, "an invalid integer token did not store 106");
}

void CheckSkipLine(TextInput& channel, model::Stream& stream) {
  int32_t before = gPendingIOCode;
  stream.SkipLine();
  Outcome outcome = Run([&] { SkipLine(channel); });
  Require(outcome.kind == Outcome::kReturned && gPendingIOCode == before, "SkipLine failed");
}

TextInput gFile;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  bool standardInput = data[0] & 1;
  size_t operations = data[1] % 33;
  if (size < 2 + operations) return 0;
  const uint8_t* codes = data + 2;
  std::string_view bytes(reinterpret_cast<const char*>(data + 2 + operations),
                         size - 2 - operations);

  ResetProgram({bytes, model::Hash(data, size), false});
  gFile = TextInput{};
  TextInput& channel = standardInput ? gStandardInput : gFile;
  if (!standardInput) {
    Outcome opened = Run([] {
      BindFile(gFile, "function.txt");
      OpenForReading(gFile);
    });
    Require(opened.kind == Outcome::kReturned && gPendingIOCode == 0,
            "the file channel did not open");
  }

  model::Stream stream(bytes);
  for (size_t i = 0; i < operations; ++i) {
    switch (codes[i] % 3) {
      case 0:
        CheckReadInteger(channel, stream);
        break;
      case 1:
        if (!CheckReadReal(channel, stream)) return 0;
        break;
      default:
        CheckSkipLine(channel, stream);
        break;
    }
    Require(Consumed(channel) == stream.consumed(),
            "the channel consumed other bytes than the token rules");
  }

  // Drain: line by line up to the end, which then stays put without asking the device.
  for (size_t lines = 0; lines <= stream.size() && Consumed(channel) < stream.size(); ++lines)
    CheckSkipLine(channel, stream);
  CheckReadInteger(channel, stream);
  CheckSkipLine(channel, stream);
  Require(Consumed(channel) == stream.size(), "bytes before the end of the input left unread");
  Require(Device().readsAfterEnd == 0, "the device was asked again after it reported the end");
  Require(Device().badRequests == 0, "a read with a bad handle or a count beyond the buffer");

  if (!standardInput) {
    int32_t before = gPendingIOCode;
    Outcome closed = Run([] { CloseInput(gFile); });
    Require(closed.kind == Outcome::kReturned && gPendingIOCode == before,
            "closing the file channel failed");
  }
  return 0;
}
