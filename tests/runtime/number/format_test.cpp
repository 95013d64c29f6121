#include "runtime/number/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "extended_values.h"

namespace {

// The text as the stream shows it: width - length blanks in front.
std::string Shown(Extended x, int32_t width, int32_t decimals) {
  NumberText text = FormatReal(x, width, decimals);
  std::string shown(text.View());
  if (width > text.Length()) shown.insert(0, static_cast<size_t>(width - text.Length()), ' ');
  return shown;
}

struct RealRow {
  const char* label;
  XValue value;
  int32_t width;
  int32_t decimals;
  const char* text;
  size_t length;
};

void ExpectRows(const RealRow* rows, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const RealRow& row = rows[i];
    std::string shown = Shown(row.value, row.width, row.decimals);
    EXPECT_EQ(shown, row.text) << row.label;
    EXPECT_EQ(shown.size(), row.length) << row.label;
  }
}

// "32-bit" rows are the float nearest to the decimal, widened; "64-bit" rows the double.
const RealRow kWorkedResults[] = {
    {"0.125", X(0.125), 5, 3, "0.125", 5},
    {"0.0625 rounds half up", X(0.0625), 5, 3, "0.063", 5},
    {"123.4567 32-bit", 123.4567f, 7, 3, "123.457", 7},
    {"-0.0004 32-bit", -0.0004f, 7, 3, " -0.000", 7},
    {"12345678.9 64-bit", 12345678.9, 7, 3, "12345678.900", 12},
    {"12345678.9 32-bit", 12345678.9f, 7, 3, "12345679.000", 12},
    {"41.25", X(41.25), 7, 3, " 41.250", 7},
    {"-41.25", -X(41.25), 7, 3, "-41.250", 7},
    {"1234.5678 32-bit", 1234.5678f, 7, 3, "1234.568", 8},
    {"1", X(1.0), 5, 3, "1.000", 5},
    {"0", X(0.0), 5, 3, "0.000", 5},
    {"minus zero", -X(0.0), 7, 3, " -0.000", 7},
    {"-0.00000001 32-bit", -0.00000001f, 5, 3, "-0.000", 6},
    {"0.9995 32-bit, just below", 0.9995f, 5, 3, "0.999", 5},
    {"0.9995 64-bit, just above", 0.9995, 5, 3, "1.000", 5},
    {"0.0025 32-bit, just below", 0.0025f, 5, 3, "0.002", 5},
    {"0.0005 32-bit", 0.0005f, 5, 3, "0.001", 5},
    {"9.9996 32-bit", 9.9996f, 7, 3, " 10.000", 7},
    {"2.5 no decimals", X(2.5), 7, 0, "      3", 7},
    {"-2.5 no decimals", -X(2.5), 7, 0, "     -3", 7},
    {"10^20 64-bit", 1e20, 7, 3, "100000000000000000000.000", 25},
    {"123456789012345678901234 64-bit", 123456789012345678901234.0, 7, 3,
     "123456789012345685800000.000", 28},
    {"1.5e36 32-bit", 1.5e36f, 7, 3, " 1.5E+0036", 10},
    {"3.4e38 32-bit", 3.4e38f, 5, 3, " 3.4E+0038", 10},
    {"1234.5 exponent form", X(1234.5), 15, -1, " 1.234500E+0003", 15},
    {"0.0004 64-bit exponent form", 0.0004, 12, -1, " 4.000E-0004", 12},
    {"12.36 64-bit exponent form", 12.36, 11, -1, " 1.24E+0001", 11},
    {"-0.0000125 64-bit exponent form", -0.0000125, 9, -1, "-1.3E-0005", 10},
    {"0 exponent form", X(0.0), 10, -1, " 0.0E+0000", 10},
    {"NaN", kXNaN, 7, 3, "    Nan", 7},
    {"plus infinity", kXInfinity, 5, 3, " +Inf", 5},
    {"minus infinity", -kXInfinity, 7, 3, "   -Inf", 7},
};

TEST(FormatReal, WorkedResults) { ExpectRows(kWorkedResults, std::size(kWorkedResults)); }

const RealRow kEdges[] = {
    // From 2^120 on the exponent form, with 2 digits at widths 5 and 7.
    {"2^120 fixed requested", X(0x1p120), 7, 3, " 1.3E+0036", 10},
    {"2^120 width 5", X(0x1p120), 5, 3, " 1.3E+0036", 10},
    {"-2^120", -X(0x1p120), 7, 3, "-1.3E+0036", 10},
    {"1.3e36 64-bit, below 2^120", 1.3e36, 7, 3, "1300000000000000070000000000000000000.000", 41},
    // Never more than 19 significant digits; 18 when the tens digit of m is 0.
    {"2^100", X(0x1p100), 0, 3, "1267650600228229400000000000000.000", 35},
    {"2^64", X(0x1p64), 0, 0, "18446744073709551600", 20},
    // A carry into a new leading digit widens the text.
    {"99.9996 64-bit", 99.9996, 7, 3, "100.000", 7},
    {"9.5 no decimals", X(9.5), 0, 0, "10", 2},
    {"-9.9996 32-bit", -9.9996f, 7, 3, "-10.000", 7},
    // Width and decimals at their limits.
    {"width 0", X(41.25), 0, 3, "41.250", 6},
    {"negative width", X(41.25), -20, 3, "41.250", 6},
    {"negative NaN has no sign", -kXNaN, 0, 3, "Nan", 3},
    {"infinity in exponent form", kXInfinity, 0, -1, "+Inf", 4},
    // Exponent form: width - 8 digits, limited to 2 .. 18, length always p + 8.
    {"exponent form, width 0", X(1234.5), 0, -1, " 1.2E+0003", 10},
    {"exponent form, minimum width", X(1234.5), -2147483647 - 1, -1, " 1.2E+0003", 10},
    {"exponent form, 18 digits", X(1234.5), 26, -1, " 1.23450000000000000E+0003", 26},
    {"exponent form, width 27", X(1234.5), 27, -1, "  1.23450000000000000E+0003", 27},
    {"exponent form, 9.96 carries", XFields(false, 0x4002, 0x9F5C28F5C28F5C29), 10, -1,
     " 1.0E+0001", 10},
    {"exponent form, 15.5 keeps its tens digit", X(15.5), 10, -1, " 1.6E+0001", 10},
    {"largest extended", kXLargest, 12, -1, " 1.190E+4932", 12},
    {"smallest extended denormal", kXSmallestDenormal, 12, -1, " 3.645E-4951", 12},
    {"smallest extended normal", kXSmallestNormal, 12, -1, " 3.362E-4932", 12},
    {"0.5 exponent form", X(0.5), 10, -1, " 5.0E-0001", 10},
};

TEST(FormatReal, EdgeBehaviour) { ExpectRows(kEdges, std::size(kEdges)); }

TEST(FormatReal, WidthAbove255PadsButConvertsWith255) {
  EXPECT_EQ(Shown(X(1.0), 300, 3), std::string(295, ' ') + "1.000");
  EXPECT_EQ(FormatReal(X(1234.5), 300, -1).View(), " 1.23450000000000000E+0003");
  EXPECT_EQ(Shown(-kXInfinity, 1000, 3), std::string(996, ' ') + "-Inf");
}

TEST(FormatReal, DecimalsAreLimitedTo216) {
  NumberText text = FormatReal(X(1.0), 0, 100000);
  EXPECT_EQ(text.View(), "1." + std::string(216, '0'));
  EXPECT_EQ(text.Length(), 218);
}

TEST(FormatReal, LongestFixedTextFillsAll255Characters) {
  // The largest float below 2^120 has 37 integer digits.
  Extended below(std::nextafter(0x1p120f, 0.0f));
  NumberText text = FormatReal(-below, 0, 216);
  ASSERT_EQ(text.Length(), 255);
  // 2^120 - 2^96 = 1329227916556753358639469466736394240; 19 digits survive.
  EXPECT_EQ(text.View().substr(0, 17), "-1329227916556753");
  EXPECT_EQ(text.View().substr(20, 19), "000000000000000000.");
  EXPECT_EQ(text.View().substr(39), std::string(216, '0'));
}

TEST(FormatReal, EveryFixedTextWithThreeDecimalsHasTheValueItRounds) {
  // Across many floats the fixed text must parse back to within half a unit of the
  // third decimal (plus the 17-place rounding), and keep the sign bit.
  for (int32_t i = -100000; i <= 100000; i += 7) {
    float f = static_cast<float>(i) * 0.0123f;
    NumberText text = FormatReal(Extended(f), 0, 3);
    std::string shown(text.View());
    double parsed = std::stod(shown);
    EXPECT_LE(std::fabs(parsed - f), 0.0005 + 1e-12) << f << " -> " << shown;
    EXPECT_EQ(shown[0] == '-', std::signbit(f)) << f;
    EXPECT_EQ(shown[shown.size() - 4], '.') << f;
  }
}

struct IntegerRow {
  int32_t value;
  const char* text;
};

// A name is shown as it is unless a terminal would act on one of its bytes; then the
// whole name is quoted, each byte that would not show as itself as \xHH.
TEST(WordsLine, NamesShowAsTheyAreUnlessATerminalWouldActOnThem) {
  struct Row {
    std::string_view name;
    std::string_view shown;
  } const rows[] = {
      {"function.txt", "function.txt"},
      {"my tables/\"spring\" \\ 2.txt", "my tables/\"spring\" \\ 2.txt"},
      {"caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},                            // UTF-8 letters
      {"caf\xE9.txt", "caf\xE9.txt"},                                    // a code page's letter
      {"\xE2\x82\xAC\xF0\x9F\x98\x80", "\xE2\x82\xAC\xF0\x9F\x98\x80"},  // 3 and 4 bytes
      {"bad\nname", "\"bad\\x0Aname\""},
      {"a\rb", "\"a\\x0Db\""},
      {"\x1B[31mred", "\"\\x1B[31mred\""},
      {"del\x7F", "\"del\\x7F\""},
      {"tab\tx y", "\"tab\\x09x\\x20y\""},
      {"c1 \xC2\x9B", "\"c1\\x20\\xC2\\x9B\""},  // CSI in UTF-8
      {"c1 \x9B"
       "2J",
       "\"c1\\x20\\x9B2J\""},    // CSI as a byte of its own
      {"cut \xC3", "cut \xC3"},  // a sequence cut short, no control
      {std::string_view("nul\0x", 5), "\"nul\\x00x\""},
  };
  for (const Row& row : rows) {
    WordsLine line;
    line.Name(row.name);
    EXPECT_EQ(line.View(), row.shown) << row.shown;
  }
  // From a NUL-terminated record, as the stop line takes it.
  CheckedArray<char, 0, 15> record = {"x\x1By"};
  WordsLine line;
  line.Name(record);
  EXPECT_EQ(line.View(), "\"x\\x1By\"");
}

TEST(FormatInteger, DecimalDigitsWithSign) {
  const IntegerRow rows[] = {
      {0, "0"},
      {20, "20"},
      {1, "1"},
      {-7, "-7"},
      {10, "10"},
      {2147483647, "2147483647"},
      {-2147483647 - 1, "-2147483648"},
      {1000000000, "1000000000"},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatInteger(row.value).View(), row.text) << row.value;
}

struct DigitRow {
  const char* label;
  Extended m;
  int32_t n;
  const char* digits;  // S[0..n]
};

TEST(DigitString, RoundsTwiceAndCarries) {
  const DigitRow rows[] = {
      // m * 10^17 = 10^17 + 381469726562.5 exactly: ties to even keeps ...562.
      {"17 places, tie to even (down)", X(1.0) + X(0x1p-18), 18, "0100000381469726562"},
      // 10^17 + 1144409179687.5: ties to even goes up to ...688.
      {"17 places, tie to even (up)", X(1.0) + X(0x3p-18), 18, "0100001144409179688"},
      // Just below 1/8: 17 places give 0.125 exactly, then half up gives 0.13.
      {"double rounding", X(0.125) - X(0x1p-67), 3, "0013"},
      {"half up at the requested place", X(0.0625), 4, "00063"},
      {"below half stays", X(0.0625), 3, "0006"},
      {"carry into a new leading digit", XFields(false, 0x4002, 0x9FFE5C91D14E3BCD), 4, "10000"},
      {"carry from the tens digit", X(15.5), 0, "2"},
      {"tens digit without carry", XFields(false, 0x4002, 0xC5C28F5C28F5C28F), 2, "124"},
      {"zeros beyond the 19 digits", X(13.0), 22, "13000000000000000000000"},
      {"zero", X(0.0), 3, "0000"},
  };
  for (const auto& row : rows) {
    DigitBuffer S;
    DigitString(row.m, row.n, S);
    std::string digits(S.Range(0, row.n + 1), static_cast<size_t>(row.n + 1));
    EXPECT_EQ(digits, row.digits) << row.label;
  }
}

struct ExponentRow {
  Extended a;
  int32_t k;
  Extended m;
};

TEST(DecimalExponent, ScalesIntoOneToSixteen) {
  const ExponentRow rows[] = {
      {X(0.0), 0, X(0.0)},
      {X(1.0), 0, X(1.0)},
      {X(10.0), 0, X(10.0)},
      {X(15.5), 0, X(15.5)},
      {X(16.0), 1, XFields(false, 0x3FFF, 0xCCCCCCCCCCCCCCCD)},
      {X(1234.5), 3, XFields(false, 0x3FFF, 0x9E04189374BC6A7F)},
      {X(0.5), -1, X(5.0)},
      {X(0.0625), -2, X(6.25)},
      {X(0x1p120), 36, X(0x1p120) / XFields(false, 0x4076, 0xC097CE7BC90715B3)},
  };
  for (const auto& row : rows) {
    DecimalParts parts = DecimalExponent(row.a);
    EXPECT_EQ(parts.k, row.k) << row.a;
    EXPECT_NEAR(parts.m.RoundToDouble(), row.m.RoundToDouble(), 1e-15) << row.a;
  }
  // Just below 2^120: k stays 35 with m between 10 and 16.
  DecimalParts below = DecimalExponent(X(0x1p120) - X(0x1p96));
  EXPECT_EQ(below.k, 35);
  EXPECT_GE(below.m, X(10.0));
  // Extended denormals (exponent field 0) still land in [1, 16).
  DecimalParts tiny = DecimalExponent(kXSmallestDenormal);
  EXPECT_EQ(tiny.k, -4951);
  EXPECT_NEAR(tiny.m.RoundToDouble(), 3.6451995318824746, 1e-12);
}

}  // namespace
