// FixedText, the one text builder of the runtime's writers: the area's limit, and the
// quoting the stop lines and the option complaints share.
#include "runtime/number/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(FixedText, QuotesBytesThatWouldNotShowAsThemselves) {
  struct Row {
    std::string bytes;
    bool cut;
    std::string_view quoted;
  } const rows[] = {
      {"12abc", false, R"("12abc")"},
      {"", false, R"("")"},
      {"", true, R"("...")"},
      {"a b", false, R"("a\x20b")"},
      {"\"\\", false, R"("\x22\x5C")"},
      {"~\x7F", false, R"("~\x7F")"},
      {"!", false, R"("!")"},
      {"\x01\x1F", false, R"("\x01\x1F")"},
      {"\xC3\xA9\xFF", true, R"("\xC3\xA9\xFF...")"},
      {"\0z"s, false, R"("\x00z")"},
  };
  for (const Row& row : rows) {
    FixedText<64> text;
    text.Quoted(row.bytes, row.cut);
    EXPECT_EQ(text.View(), row.quoted) << row.quoted;
  }
}

TEST(FixedText, HexDigitsAreUpperCaseOfTheLowFourBits) {
  std::string digits;
  for (uint32_t value = 0; value < 16; ++value) digits += HexDigit(value);
  EXPECT_EQ(digits, "0123456789ABCDEF");
  EXPECT_EQ(HexDigit(0x1234567A), 'A');
}

// Bytes beyond the area are dropped, and the reserved room is left for the end.
TEST(FixedText, KeepsTheReservedRoomForTheEnd) {
  FixedText<8> text(2);
  text.Quoted("abcdefgh", true);
  EXPECT_EQ(text.View(), R"("abcde)");
  text.Close("\r\n");
  EXPECT_EQ(text.View(), "\"abcde\r\n");
}

}  // namespace
