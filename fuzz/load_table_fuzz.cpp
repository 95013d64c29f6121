// Arbitrary bytes as function.txt, read by the table loader from the fake device (any
// chunking; for one input in four, failing reads and closes as well).
//
// The load either completes or stops with a defined code, and the stop comes at the
// token the rules say: 106 at the first invalid token, the overflow trap (205) at the first
// number beyond the float range, or the device's code (EIO) when a fault was injected.
// Every entry before the stop holds its token's value rounded to float; entries beyond the
// last number are 0; a stop always ends with its report line.

#include <signal.h>

#include <cmath>
#include <cstring>

#include "harness.h"
#include "model/profit_table.h"
#include "runtime/arith/extended_x87.h"
#include "runtime/number/parse.h"
#include "token_model.h"

namespace {

constexpr uint32_t kUnwritten = 0x7FC0DEAD;  // a NaN: no number reads as it

uint32_t Bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

ProfitTable gTable;

float& Entry(int index) { return gTable.entries[1 + index / 10][index % 10]; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint64_t seed = model::Hash(data, size);
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ResetProgram({bytes, seed, seed >> 62 == 0});
  for (int i = 0; i < 80; ++i) std::memcpy(&Entry(i), &kUnwritten, sizeof(float));

  Outcome outcome = Run([] { gTable.Load("function.txt"); });
  RequireReportFor(outcome);
  Require(Device().badRequests == 0, "a read with a bad handle or a count beyond the buffer");
  if (outcome.kind == Outcome::kStopped && outcome.exitCode == EIO) {
    Require(Device().faultsInjected > 0, "a device code without a device fault");
    return 0;
  }
  Require(outcome.kind != Outcome::kTrapped || outcome.trapCode == FPE_FLTOVF,
          "the load trapped other than by overflow");
  Require(outcome.kind != Outcome::kStopped || outcome.exitCode == 106,
          "the load stopped with an unexpected code");
  // A fault can cut a token short, so the tokens are only known without one.
  if (Device().faultsInjected > 0) return 0;

  // Walk the tokens the rules give, comparing each entry, up to where the load ended.
  model::Stream stream(bytes);
  for (int i = 0; i < 80; ++i) {
    uint32_t got = Bits(Entry(i));
    std::optional<std::string_view> token = stream.NextToken();
    if (!token) {
      Require(got == 0, "an entry after the last number is not 0");
      continue;
    }
    model::RealReference want = model::ReferenceReal(*token);
    if (want.validity != model::RealReference::kValid || model::TooLong(*token, model::kRealArea)) {
      Require(outcome.kind == Outcome::kStopped && got == 0,
              "an invalid number did not stop the load with 106");
      for (int rest = i + 1; rest < 80; ++rest)
        Require(Bits(Entry(rest)) == kUnwritten, "entries stored after the stop");
      return 0;
    }
    model::FloatStore store = model::ClassifyFloatStore(want);
    if (got == kUnwritten) {
      Require(outcome.kind == Outcome::kTrapped && store != model::FloatStore::kFits,
              "the load ended at a number that fits a float");
      for (int rest = i + 1; rest < 80; ++rest)
        Require(Bits(Entry(rest)) == kUnwritten, "entries stored after the stop");
      return 0;
    }
    Require(store != model::FloatStore::kOverflow, "a number beyond the float range was stored");
    float expected = 0;
    Outcome reference = Run([&] {
      ParsedReal parsed = ParseReal(*token);
      expected = ToFloat(parsed.value);
    });
    Require(reference.kind == Outcome::kReturned, "a stored number traps when read alone");
    Require(got == Bits(expected), "an entry differs from its number rounded to float");
  }
  Require(outcome.kind == Outcome::kReturned, "the load stopped although all 80 entries read well");
  return 0;
}
