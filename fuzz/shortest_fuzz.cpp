// Arbitrary float bit patterns into FormatShortest. Input: 4 bytes of the float
// (little-endian); missing bytes are 0.
//
// Never a stop or trap. The infinities and NaN by name; every other float's text reads
// back as that float, sign included, through the program's own reader and through the C
// library's strtof; and no decimal with fewer significant digits near it reads back as
// it: the nearest one of each shorter count and its two neighbours, and the powers of
// ten and runs of nines on either side of its decimal magnitude.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "harness.h"
#include "runtime/number/parse.h"
#include "runtime/number/shortest.h"

namespace {

uint32_t BitsOf(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// The float the program's reader makes of a text, as bits; 0xFFFFFFFF when the text is
// refused or the value is past the float range (where a table entry would stop the run).
uint32_t ReadBack(std::string_view text) {
  uint32_t bits = 0;
  Outcome outcome = Run([&] {
    ParsedReal parsed = ParseReal(text);
    if (!parsed.ok || !(parsed.value < Extended(0x1p128 - 0x1p103) &&
                        Extended(-0x1p128 + 0x1p103) < parsed.value)) {
      bits = 0xFFFFFFFF;
      return;
    }
    bits = BitsOf(ToFloat(parsed.value));
  });
  Require(outcome.kind == Outcome::kReturned, "reading a candidate back stopped the run");
  return bits;
}

std::string Candidate(uint64_t digits, int scale) {
  return std::to_string(digits) + "e" + std::to_string(scale);
}

void RequireNotShorter(uint64_t digits, int scale, uint32_t bits) {
  if (digits == 0) return;
  Require(ReadBack(Candidate(digits, scale)) != bits,
          "a decimal with fewer significant digits reads back as the float");
}

// Every shorter count of digits: the nearest decimal (correctly rounded by the C library,
// independent of the program's digits) and one unit either side.
void CheckNoneShorter(float magnitude, int count, uint32_t bits) {
  for (int shorter = 1; shorter < count; ++shorter) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", shorter - 1, static_cast<double>(magnitude));
    uint64_t digits = 0;
    char* at = text;
    for (; *at != 'e'; ++at)
      if (*at >= '0' && *at <= '9') digits = digits * 10 + static_cast<uint64_t>(*at - '0');
    int scale = std::atoi(at + 1) - shorter + 1;
    for (uint64_t d : {digits - 1, digits, digits + 1}) RequireNotShorter(d, scale, bits);
    // Across a power of ten the unit changes: 10^E itself, and the largest decimal of
    // this count below it.
    int magnitude10 = std::atoi(at + 1);
    uint64_t nines = 0;
    for (int i = 0; i < shorter; ++i) nines = nines * 10 + 9;
    for (int e : {magnitude10, magnitude10 + 1}) {
      RequireNotShorter(1, e, bits);
      RequireNotShorter(nines, e - shorter, bits);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t input[4] = {};
  std::memcpy(input, data, size < sizeof input ? size : sizeof input);
  uint32_t bits;
  std::memcpy(&bits, input, sizeof bits);
  float x;
  std::memcpy(&x, &bits, sizeof x);

  ResetProgram({});
  NumberText text;
  Outcome outcome = Run([&] { text = FormatShortest(x); });
  Require(outcome.kind == Outcome::kReturned, "FormatShortest stopped the run");
  std::string shown(text.View());

  if ((bits & 0x7F800000u) == 0x7F800000u) {
    Require(shown == ((bits & 0x7FFFFFu) != 0 ? "nan"
                      : (bits >> 31) != 0     ? "-inf"
                                              : "inf"),
            "a NaN or infinity not shown by name");
    return 0;
  }
  // ShortestDigits takes finite floats only.
  ShortestDecimal shortest{};
  outcome = Run([&] { shortest = ShortestDigits(x); });
  Require(outcome.kind == Outcome::kReturned, "ShortestDigits stopped the run");
  Require(ReadBack(shown) == bits, "the text does not read back as its float");
  Require(BitsOf(std::strtof(shown.c_str(), nullptr)) == bits,
          "the text does not read back as its float in C");
  Require(shortest.count >= 1 && shortest.count <= 9,
          "not 1 to 9 significant digits: nine always tell two floats apart");
  if ((bits & 0x7FFFFFFFu) != 0) CheckNoneShorter(std::fabs(x), shortest.count, bits);
  return 0;
}
