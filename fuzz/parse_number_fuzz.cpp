// Arbitrary tokens into ParseInteger and ParseReal, against the independent models of
// token_model.h. First byte: bit 0 set for an integer, clear for a real; the rest is the
// token.
//
// Integers: validity and value equal the reference conversion.
// Reals: validity as the grammar says; the sign bit from the minus sign; zero, finite or
// the overflow trap exactly as the magnitude says; and the value itself: the
// correctly rounded one where at most 19 significant digits meet an exact power of ten
// (|scale| <= 27), otherwise within a few units in the last place of the exact decimal.

#include <signal.h>

#include <cstring>

#include "exact_decimal.h"
#include "harness.h"
#include "runtime/number/parse.h"
#include "token_model.h"

namespace {

constexpr int kLimbs = 300;  // 19200 bits: 10^5120 times 2^16445 with room to spare

void CheckInteger(std::string_view token) {
  ParsedInteger got{};
  Outcome outcome = Run([&] { got = ParseInteger(token); });
  Require(outcome.kind == Outcome::kReturned, "ParseInteger stopped the run");
  model::IntegerReference want = model::ReferenceInteger(token);
  Require(got.ok == want.ok,
          want.ok ? "a valid integer token refused" : "an invalid integer token accepted");
  if (want.ok) Require(got.value == want.value, "an integer token read as another value");
}

// |significant * 10^scale - value| against the rounding the reading allows.
void CheckRealValue(const model::RealReference& want, const ExtendedParts& got) {
  if (got.field == 0) return;  // denormal results carry no relative bound
  exact::Term decimal{want.significant.data(), static_cast<int>(want.significant.size()), 0,
                      static_cast<int>(want.scale), 0};
  exact::Term binary{nullptr, 0, got.significand, 0, got.field - 16383 - 63};
  int ulp2 = got.field - 16383 - 63;  // one unit in the last place of the result
  int significantDigits = static_cast<int>(want.significant.size());
  if (significantDigits <= 19 && want.scale >= -27 && want.scale <= 27) {
    // One exact mantissa and one operation with an exact power: correctly rounded.
    bool atBinadeFloor = got.significand == uint64_t{1} << 63;
    exact::Term half{nullptr, 0, 1, 0, ulp2 - 1};
    exact::Term halfBelow{nullptr, 0, 1, 0, atBinadeFloor ? ulp2 - 2 : ulp2 - 1};
    int above = exact::CompareDistance<kLimbs>(decimal, binary, half);
    int below = exact::CompareDistance<kLimbs>(decimal, binary, halfBelow);
    Require(above != 2, "value check out of range");
    // Which side the exact value lies on decides which half unit applies.
    exact::Term zero{nullptr, 0, 0, 0, 0};
    int sideAbove = exact::CompareDistance<kLimbs>(decimal, zero, binary);  // decimal vs value
    int distance = sideAbove >= 0 ? above : below;
    Require(distance <= 0, "a short decimal not read as the nearest extended value");
    if (distance == 0) Require((got.significand & 1) == 0, "a tie not rounded to even");
    return;
  }
  // Each rounded step (extra mantissa digits, table constants, multiplications) costs at
  // most a unit or two; anything wrong by more is a wrong power or a wrong digit.
  uint64_t units =
      8 + 2 * static_cast<uint64_t>(significantDigits > 19 ? significantDigits - 19 : 0);
  exact::Term bound{nullptr, 0, units, 0, ulp2};
  int distance = exact::CompareDistance<kLimbs>(decimal, binary, bound);
  Require(distance != 2, "value check out of range");
  Require(distance <= 0, "a real token read further than a few units from its value");
}

void CheckReal(std::string_view token) {
  ParsedReal got{};
  Outcome outcome = Run([&] { got = ParseReal(token); });
  Require(outcome.kind != Outcome::kStopped, "ParseReal stopped the run");
  model::RealReference want = model::ReferenceReal(token);
  if (want.validity == model::RealReference::kInvalid) {
    Require(outcome.kind == Outcome::kReturned && !got.ok, "an invalid real token accepted");
    return;
  }
  if (want.validity == model::RealReference::kEmpty) {
    Require(outcome.kind == Outcome::kReturned, "an empty token trapped");
    return;
  }
  model::RealClass expected = model::Classify(want);
  if (outcome.kind == Outcome::kTrapped) {
    Require(outcome.trapCode == FPE_FLTOVF, "reading a real trapped other than by overflow");
    Require(
        expected == model::RealClass::kOverflow || expected == model::RealClass::kFiniteOrOverflow,
        "a real within the extended range trapped as overflow");
    return;
  }
  Require(got.ok, "a valid real token refused");
  Require(expected != model::RealClass::kOverflow, "a real beyond the extended range did not trap");
  ExtendedParts parts = PartsOf(got.value);
  Require(parts.negative == want.negative, "the sign bit does not follow the minus sign");
  bool zero = parts.field == 0 && parts.significand == 0;
  bool special = parts.field == 0x7FFF;
  switch (expected) {
    case model::RealClass::kZero:
      Require(zero, "a real that reads as zero did not");
      return;
    case model::RealClass::kZeroOrDenormal:
      Require(parts.field == 0, "a real about the smallest denormal read as a normal value");
      return;
    default:
      Require(!zero && !special, "a real within the extended range read as zero, infinity or NaN");
      CheckRealValue(want, parts);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 257) return 0;
  std::string_view token(reinterpret_cast<const char*>(data + 1), size - 1);
  ResetProgram({});
  if (data[0] & 1)
    CheckInteger(token);
  else
    CheckReal(token);
  return 0;
}
