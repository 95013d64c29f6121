// Arbitrary 80-bit values, widths and decimals into FormatReal.
//
// Input: 10 bytes of the value (little-endian, as stored), 4 bytes of width, 4 bytes of
// decimals; missing bytes are 0. The explicit leading bit of the value is set to match its
// exponent field: the other encodings (unnormals, pseudo-infinities) are no values the
// x87 computes with, and the program only ever prints floats widened to extended.
//
// Never a stop or trap, never more than 255 characters; NaN and infinities by name; the
// exponent form exactly p + 8 long (p = width - 8 limited to 2 .. 18) and reading back
// within one unit of its last digit; the fixed form (finite, below 2^120, decimals >= 0)
// reading back within one unit of the last place it can show, with nothing but "0" below
// the 19-digit string; the switch to the exponent form exactly at 2^120.

#include <cstring>
#include <string>

#include "exact_decimal.h"
#include "harness.h"
#include "runtime/number/format.h"

namespace {

constexpr int kLimbs = 300;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Value : ExtendedParts {
  exact::Binary binary() const { return {significand, (field == 0 ? 1 : field) - 16383 - 63}; }
};

// 10 <= a, exactly.
bool AtLeastTen(const Value& v) {
  exact::Term ten{nullptr, 0, 10, 0, 0};
  exact::Term zero{nullptr, 0, 0, 0, 0};
  exact::Binary b = v.binary();
  return exact::CompareDistance<kLimbs>(exact::Of(b), zero, ten) >= 0;
}

void CheckExponentForm(std::string_view text, const Value& v, int width) {
  int w = width > 255 ? 255 : width;
  int p = w < 10 ? 2 : w > 26 ? 18 : w - 8;
  Require(static_cast<int>(text.size()) == p + 8, "the exponent form is not p + 8 characters long");
  Require(text[0] == (v.negative ? '-' : ' '), "the exponent form's sign position is wrong");
  Require(IsDigit(text[1]) && text[2] == '.', "the exponent form does not start with d.");
  std::string digits(1, text[1]);
  for (int i = 3; i < p + 2; ++i) {
    Require(IsDigit(text[i]), "the exponent form's digits are not digits");
    digits += text[i];
  }
  std::string_view tail = text.substr(p + 2);
  Require(tail[0] == 'E' && (tail[1] == '+' || tail[1] == '-'),
          "the exponent form lacks E and its sign");
  for (int i = 2; i < 6; ++i) Require(IsDigit(tail[i]), "the exponent is not four digits");
  int e = (tail[2] - '0') * 1000 + (tail[3] - '0') * 100 + (tail[4] - '0') * 10 + (tail[5] - '0');
  if (tail[1] == '-') e = -e;
  bool zero = v.field == 0 && v.significand == 0;
  if (zero) {
    Require(digits.find_first_not_of('0') == std::string::npos && e == 0 && tail[1] == '+',
            "zero in the exponent form is not 0.0E+0000");
    return;
  }
  Require(digits[0] != '0', "the exponent form's first digit is 0");
  exact::Decimal decimal{digits.data(), p, e - p + 1};
  Require(exact::WithinUnit<kLimbs>(decimal, v.binary(), e - p + 1),
          "the exponent form reads back further than one unit of its last digit");
}

void CheckFixedForm(std::string_view text, const Value& v, int decimals) {
  int d = decimals > 216 ? 216 : decimals;
  size_t at = 0;
  if (v.negative) {
    Require(!text.empty() && text[0] == '-', "a negative value without its minus sign");
    at = 1;
  }
  size_t point = text.find('.');
  size_t integerEnd = d > 0 ? point : text.size();
  Require(d == 0 ? point == std::string_view::npos : point != std::string_view::npos,
          "the point is there exactly when decimals > 0");
  Require(integerEnd > at && text.size() - integerEnd == static_cast<size_t>(d > 0 ? d + 1 : 0),
          "not the fixed form [-]d[.ddd] with the requested decimals");
  Require(text[at] != '0' || integerEnd - at == 1, "a leading zero in the integer part");
  std::string digits;
  for (size_t i = at; i < text.size(); ++i) {
    if (i == point) continue;
    Require(IsDigit(text[i]), "a fixed form with a character other than digits and one point");
    digits += text[i];
  }
  int integerDigits = static_cast<int>(integerEnd - at);
  // Below 10 the digit string holds places down to 10^-17; from 10 on m = a / 10^k with k
  // K or K - 1 (K = floor(log10 a)), so its last place is at most 10^(K-17) and nothing
  // below 10^(K-18) may differ from "0".
  int unit = -17, lowestNonZero = -17;
  if (AtLeastTen(v)) {
    int K = exact::DecimalMagnitude<kLimbs>(v.binary());
    unit = K - 17;
    lowestNonZero = K - 18;
  }
  if (unit < -d) unit = -d;
  for (int i = 0; i < static_cast<int>(digits.size()); ++i)
    if (integerDigits - 1 - i < lowestNonZero)
      Require(digits[i] == '0', "a digit other than 0 below the 19-digit string");
  exact::Decimal decimal{digits.data(), static_cast<int>(digits.size()), -d};
  Require(exact::WithinUnit<kLimbs>(decimal, v.binary(), unit),
          "the fixed form reads back further than one unit of its last place");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t input[18] = {};
  std::memcpy(input, data, size < sizeof input ? size : sizeof input);
  Value v{PartsOfBytes(input)};
  if (v.field != 0)
    v.significand |= uint64_t{1} << 63;
  else
    v.significand &= ~(uint64_t{1} << 63);
  int32_t width, decimals;
  std::memcpy(&width, input + 10, 4);
  std::memcpy(&decimals, input + 14, 4);

  // Sign and exponent as given.
  Extended x = Extended::FromFields(v.negative, static_cast<uint16_t>(v.field), v.significand);

  ResetProgram({});
  NumberText text{};
  Outcome outcome = Run([&] { text = FormatReal(x, width, decimals); });
  Require(outcome.kind == Outcome::kReturned, "FormatReal stopped the run");
  Require(text.Length() >= 1 && text.Length() <= 255,
          "FormatReal gave more than 255 characters (or none)");
  std::string_view shown = text.View();

  if (v.field == 0x7FFF) {
    bool infinity = v.significand == uint64_t{1} << 63;
    Require(shown == (!infinity    ? "Nan"
                      : v.negative ? "-Inf"
                                   : "+Inf"),
            "a NaN or infinity not shown by name");
    return 0;
  }
  // 2^120 has the exponent field 16383 + 120.
  if (decimals < 0 || v.field >= 16383 + 120)
    CheckExponentForm(shown, v, width);
  else
    CheckFixedForm(shown, v, decimals);
  return 0;
}
