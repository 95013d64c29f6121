#include "runtime/number/parse.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "extended_values.h"
#include "number_answers.h"
#include "runtime/arith/extended.h"
#include "runtime/core/stop.h"

namespace {

std::string Hex(Extended x) {
  std::ostringstream text;
  text << Bits(x);
  return text.str();
}

void ExpectInteger(const char* token, bool ok, int32_t value) {
  ParsedInteger parsed = ParseInteger(token);
  EXPECT_EQ(parsed.ok, ok) << '"' << token << '"';
  if (ok && parsed.ok) {
    EXPECT_EQ(parsed.value, value) << '"' << token << '"';
  }
}

void ExpectReal(const char* token, bool ok, Extended value) {
  ParsedReal parsed = ParseReal(token);
  EXPECT_EQ(parsed.ok, ok) << '"' << token << '"';
  if (ok && parsed.ok) {
    EXPECT_EQ(Bits(parsed.value), Bits(value))
        << '"' << token << "\" gave " << Hex(parsed.value) << ", expected " << Hex(value);
  }
}

// A real with no digit before its exponent is a valid 0, and says it had none, so that a
// reader can warn of a likely slip ("e5" for "1e5").
TEST(ParseReal, TokensWithoutDigitsReadAsZeroAndSaySo) {
  struct Row {
    const char* token;
    bool ok;
    bool withoutDigits;
  } const rows[] = {
      {".", true, true},     {"-.", true, true},    {"e5", true, true},   {".e5", true, true},
      {"+.e-5", true, true}, {"E+0", true, true},   {"0", true, false},   {".0", true, false},
      {"0.", true, false},   {"-0e5", true, false}, {"1e5", true, false}, {"e", false, false},
      {"-", false, false},   {".x", false, false},
  };
  for (const Row& row : rows) {
    ParsedReal parsed = ParseReal(row.token);
    EXPECT_EQ(parsed.ok, row.ok) << row.token;
    EXPECT_EQ(parsed.ok && parsed.withoutDigits, row.withoutDigits) << row.token;
    if (row.withoutDigits) {
      EXPECT_EQ(Bits(parsed.value), Bits(row.token[0] == '-' ? -X(0.0) : X(0.0))) << row.token;
    }
  }
}

TEST(ParseInteger, AnswersOfTheIntegerPrompt) {
  for (const auto& row : kIntegerAnswers) ExpectInteger(row.token, row.ok, row.value);
}

TEST(ParseInteger, DecimalRangeLimits) {
  const struct {
    const char* token;
    bool ok;
    int32_t value;
  } rows[] = {
      {"0", true, 0},
      {"-0", true, 0},
      {"000000000000002147483647", true, 2147483647},
      {"214748364", true, 214748364},
      {"2147483649", false, 0},  // fits 32 unsigned bits before the sign check
      {"2147483650", false, 0},
      {"4294967296", false, 0},
      {"99999999999", false, 0},
      {"-2147483650", false, 0},
      {"  12", true, 12},
      {"12 ", false, 0},
      {"", false, 0},
      {"   ", false, 0},
  };
  for (const auto& row : rows) ExpectInteger(row.token, row.ok, row.value);
}

TEST(ParseInteger, HexadecimalIsTwosComplementWithoutRangeCheck) {
  const struct {
    const char* token;
    bool ok;
    int32_t value;
  } rows[] = {
      {"$7FFFFFFF", true, 2147483647},
      {"$80000000", true, std::numeric_limits<int32_t>::min()},
      {"-$80000000", true, std::numeric_limits<int32_t>::min()},
      {"-$FFFFFFFF", true, 1},
      {"+x10", true, 16},
      {"$abcdef", true, 0xABCDEF},
      {"$00000000000000FF", true, 255},  // leading zeros never overflow
      {"$1000000000", false, 0},
      {"-0x", false, 0},
      {"-$", false, 0},
      {"x", false, 0},
      {"$G", false, 0},
      {"$1g", false, 0},
      {"$-1", false, 0},
      {"0$1", false, 0},
      {"00x1", false, 0},
      {"$@", false, 0},
      {"$`", false, 0},
  };
  for (const auto& row : rows) ExpectInteger(row.token, row.ok, row.value);
}

TEST(ParseInteger, SignsAndBytesAboveAsciiAreInvalidDigits) {
  for (const char* token : {"+-1", "-+1", "++1", "1-", "\x80", "1\xff", "\xb9", "1\x1a"})
    ExpectInteger(token, false, 0);
}

TEST(ParseReal, AnswersOfTheRealPrompt) {
  for (const auto& row : kRealAnswers) ExpectReal(row.token, row.ok, row.value);
}

TEST(ParseReal, EmptyGroupsAndSigns) {
  const struct {
    const char* token;
    bool ok;
    Extended value;
  } rows[] = {
      {"+", false, X(0.0)},
      {"-", false, X(0.0)},
      {"e", false, X(0.0)},
      {"1e-", false, X(0.0)},
      {"1e+-2", false, X(0.0)},
      {"1e2.5", false, X(0.0)},
      {"1..", false, X(0.0)},
      {"--1", false, X(0.0)},
      {"1 ", false, X(0.0)},
      {"1\x80", false, X(0.0)},
      {"+.", true, X(0.0)},
      {"-e5", true, -X(0.0)},
      {"-0.0e0", true, -X(0.0)},
      {"  2.5", true, X(2.5)},
      {"+2.5E1", true, X(25.0)},
      {"-1e-5120", true, -X(0.0)},
      {"12.50e-1", true, X(1.25)},
      {"1E0000000000000000000000000000000003", true,
       X(1000.0)},  // leading zeros are not significant
  };
  for (const auto& row : rows) ExpectReal(row.token, row.ok, row.value);
}

// A zero is zero whatever its exponent, and a tiny exponent gives zero; neither wraps.
TEST(ParseReal, HugeExponentsOfZeroAndTinyValuesGiveZero) {
  const struct {
    const char* token;
    Extended value;
  } rows[] = {
      {"1e-9999999999", X(0.0)},    {"0e9999999999", X(0.0)},
      {"-0e5120", -X(0.0)},         {"-.0e99999999999999999999", -X(0.0)},
      {"0.000e4294967296", X(0.0)}, {"1e-4294967295", X(0.0)},  // would wrap to +1
      {"1e-100000", X(0.0)},        {"10e-5121", X(0.0)},
      {"-1e-5120", -X(0.0)},
  };
  for (const auto& row : rows) ExpectReal(row.token, true, row.value);
}

TEST(ParseReal, MantissaIsExactUpTo19Digits) {
  ExpectReal("9999999999999999999", true, XFields(false, 0x403E, 0x8AC7230489E7FFFF));
  ExpectReal("18446744073709551615", true,
             XFields(false, 0x403E, 0xFFFFFFFFFFFFFFFF));  // 2^64 - 1, still exact
  ExpectReal("1234567890.123456789", true, XFields(false, 0x403B, 0x891087A3EF4C08A8) / X(1e9));
}

// Rows where the step-by-step rounding of the algorithm lands one unit in the last place
// away from the nearest extended value; the algorithm's result is the one the program reads.
TEST(ParseReal, RoundsAfterEachStep) {
  // 30 digits: v * 10 and + digit rounded at each step; the nearest value ends in ...077.
  ExpectReal("123456789012345678901234567890", true, XFields(false, 0x405F, 0xC77487FB61B9F076));
  // 15e11 times the rounded table entry 1e288; the nearest value ends in ...5e2.
  ExpectReal("1.5e300", true, XFields(false, 0x43E4, 0x8F596B3002C1A5E1));
}

TEST(ParseReal, UnderflowIsSilent) {
  ParsedReal tiny = ParseReal("1e-4950");
  ASSERT_TRUE(tiny.ok);
  EXPECT_TRUE(tiny.value > X(0.0));
  EXPECT_TRUE(tiny.value < kXSmallestNormal);
}

TEST(ParseReal, AnInvalidTokenIsNeverScaled) {
  // The bad byte is found before any scaling, so no overflow can hide the failure.
  EXPECT_FALSE(ParseReal("1e4933x").ok);
  EXPECT_FALSE(ParseReal("9999999999999999999999999999999999999999x").ok);
}

TEST(ParseRealDeathTest, ScalingBeyondTheExtendedRangeStops) {
  EXPECT_EXIT(ParseReal("1e4933"), testing::ExitedWithCode(205), "");
  EXPECT_EXIT(ParseReal("-1e4933"), testing::ExitedWithCode(205), "");
  // n = 4964 - 31 and 5120 - 1: both below the saturation, so the product overflows.
  EXPECT_EXIT(ParseReal("0.0000000000000000000000000000001e4964"), testing::ExitedWithCode(205),
              "");
  EXPECT_EXIT(ParseReal("0.1e5120"), testing::ExitedWithCode(205), "");
}

// From an exponent of 5120 on, where the power of ten alone saturates, a value that is
// not zero stops the same way: it never reads as infinity, and the exponent never wraps.
TEST(ParseRealDeathTest, ExponentsFrom5120OnStopLikeAnyOverflow) {
  for (const char* token : {"1e5120", "-1e5120", "0.1e5121", "1e100000", "1e9999999999",
                            "-1e99999999999999999999", "1e4294967296", "0.001e5122"}) {
    EXPECT_EXIT(ParseReal(token), testing::ExitedWithCode(205), "") << token;
  }
}

TEST(ParseRealDeathTest, StoringBeyondTheFloatRangeStops) {
  // 1e39 reads fine as an extended value; the caller's store into a float is what stops.
  ParsedReal big = ParseReal("1e39");
  ASSERT_TRUE(big.ok);
  EXPECT_EXIT(ToFloat(big.value), testing::ExitedWithCode(205), "");
}

}  // namespace
