#include "runtime/number/shortest.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "runtime/arith/extended.h"
#include "runtime/number/parse.h"

namespace {

float FromBits(uint32_t bits) {
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

uint32_t BitsOf(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

TEST(FormatShortest, Layouts) {
  struct Row {
    float value;
    const char* text;
  } rows[] = {
      {0.0f, "0"},
      {-0.0f, "-0"},
      {0.1f, "0.1"},
      {0.111f, "0.111"},
      {100.22f, "100.22"},
      {-41.25f, "-41.25"},
      {1.0f, "1"},
      {100.0f, "100"},
      {1e15f, "1000000000000000"},
      {123456789.0f, "123456790"},  // the float is 123456792: zeros where the digits end
      {1e16f, "1e+16"},
      {0.0001f, "0.0001"},
      {0.00012f, "0.00012"},
      {1e-5f, "1e-05"},
      {-2.5e-7f, "-2.5e-07"},
      {3.4028235e38f, "3.4028235e+38"},
      {1.3e36f, "1.3e+36"},
      {FromBits(1), "1e-45"},  // the smallest denormal, 1.4e-45
      {FromBits(0x00800000), "1.1754944e-38"},
      {16777216.0f, "16777216"},
      {FromBits(0x7F800000), "inf"},
      {FromBits(0xFF800000), "-inf"},
      {FromBits(0x7FC00000), "nan"},
  };
  for (const Row& row : rows) {
    NumberText text = FormatShortest(row.value);
    EXPECT_EQ(text.View(), row.text) << row.text;
  }
}

// The only floats whose nearest 8-digit decimal does not read back while the one a unit
// above does (every float searched: tests/exhaustive/shortest_exhaustive.cpp): powers of
// two, whose interval is narrower below. The nearest would need a ninth digit.
TEST(FormatShortest, ANeighbourReadsBackWhereTheNearestDoesNot) {
  struct Row {
    uint32_t bits;
    const char* text;  // the nearest 8 digits: 12621774, 15474250, 12379400
  } const rows[] = {
      {0x0F800000, "1.2621775e-29"},  // 2^-96
      {0x6B000000, "1.5474251e+26"},  // 2^87
      {0x6C800000, "1.2379401e+27"},  // 2^90
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatShortest(FromBits(row.bits)).View(), row.text) << row.text;
    EXPECT_EQ(ShortestDigits(FromBits(row.bits)).count, 8) << row.text;
  }
}

// The float the program's own reader makes of a text, as a table entry is stored.
uint32_t ReadBackBits(std::string_view text) {
  ParsedReal parsed = ParseReal(text);
  EXPECT_TRUE(parsed.ok) << text;
  return BitsOf(ToFloat(parsed.value));
}

// The digits and the exponent of the C++ library's shortest form, "d.ddde+XX".
ShortestDecimal LibraryShortest(float x) {
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific);
  std::string s(text, result.ptr);
  ShortestDecimal d{0, 0, 0, false};
  size_t at = 0;
  if (s[at] == '-') {
    d.negative = true;
    ++at;
  }
  for (; s[at] != 'e'; ++at) {
    if (s[at] == '.') continue;
    d.digits = d.digits * 10 + static_cast<uint64_t>(s[at] - '0');
    ++d.count;
  }
  d.exponent = std::stoi(s.substr(at + 1));
  return d;
}

// Whether x lies exactly halfway between two decimals of count significant digits: its
// exact expansion (at most 105 significant digits) goes on with 5 and then zeros only.
bool IsTie(float x, int count) {
  char text[160];
  auto result = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, 120);
  std::string digits;
  for (char* c = text; c != result.ptr && *c != 'e'; ++c) {
    if (*c >= '0' && *c <= '9') digits += *c;
  }
  return digits[static_cast<size_t>(count)] == '5' &&
         digits.find_first_not_of('0', static_cast<size_t>(count) + 1) == std::string::npos;
}

// Every text reads back as its float through the program's reader, and it is as short
// as the shortest correctly rounded form (which the library gives) with the same digits,
// for floats of every binade: powers of two, their neighbours (where the interval is
// lopsided), and random bit patterns. Where x lies exactly halfway, the library takes
// the even digit and this program rounds half up, as FormatReal does.
TEST(FormatShortest, ReadsBackAndIsShortest) {
  std::vector<uint32_t> patterns;
  for (uint32_t field = 0; field < 255; ++field) {
    for (uint32_t mantissa : {0u, 1u, 2u, 0x7FFFFFu, 0x7FFFFEu, 0x400000u})
      patterns.push_back(field << 23 | mantissa);
  }
  std::mt19937 random(20261207);
  for (int i = 0; i < 100000; ++i) patterns.push_back(random() & 0x7FFFFFFFu);
  int checked = 0;
  int ties = 0;
  for (uint32_t bits : patterns) {
    if ((bits & 0x7F800000u) == 0x7F800000u || bits == 0) continue;
    float x = FromBits(bits | (checked % 2 == 0 ? 0u : 0x80000000u));
    NumberText text = FormatShortest(x);
    ASSERT_EQ(ReadBackBits(text.View()), BitsOf(x)) << text.View();
    ++checked;
    ShortestDecimal ours = ShortestDigits(x);
    ShortestDecimal library = LibraryShortest(x);
    ASSERT_EQ(ours.count, library.count) << text.View();
    if (ours.digits != library.digits && ours.digits == library.digits + 1 &&
        IsTie(x, ours.count)) {
      ++ties;
      continue;
    }
    ASSERT_EQ(ours.digits, library.digits) << text.View();
    ASSERT_EQ(ours.exponent, library.exponent) << text.View();
    ASSERT_EQ(ours.negative, library.negative) << text.View();
  }
  EXPECT_GT(checked, 100000);
  // Exact ties are rare: whole numbers past 2^24, and short dyadic fractions.
  EXPECT_LT(ties, checked / 100);
}

}  // namespace
