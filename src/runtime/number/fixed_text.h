#pragma once
// FixedText: a text built in a fixed area, without allocation, for every writer of the
// runtime (numbers for the output stream, the lines on standard error). Bytes beyond the
// area are dropped; `reserve` bytes stay free for Close, which adds what ends the text.
// Async-signal-safe.
//
//   FixedText<16> t;  t.Add("code ").Number(-207);  ->  t.View() == "code -207"
//   FixedText<16> t;  t.Quoted("a b", false);          ->  t.View() == "\"a\\x20b\""

#include <cstdint>
#include <string_view>

#include "runtime/core/checked.h"

// The upper-case hexadecimal digit of the low four bits of value.
inline char HexDigit(uint32_t value) {
  value &= 0xF;
  return static_cast<char>(value < 10 ? '0' + value : 'A' + (value - 10));
}

template <int Size>
class FixedText {
 public:
  explicit FixedText(int reserve = 0) : limit_(Size - reserve) {}

  FixedText& Put(char c) {
    if (length_ < limit_) chars_[length_++] = c;
    return *this;
  }

  FixedText& Add(std::string_view s) {
    for (char c : s) Put(c);
    return *this;
  }
  FixedText& Add(const char* s) {
    while (*s != '\0') Put(*s++);
    return *this;
  }
  // A NUL-terminated text held in a checked array.
  template <int Hi>
  FixedText& Add(const CheckedArray<char, 0, Hi>& s) {
    for (int i = 0; i <= Hi && s[i] != '\0'; ++i) Put(s[i]);
    return *this;
  }

  // A text as the user gave it, in double quotes, every byte that would not show as
  // itself (blanks, control bytes, DEL, bytes above 0x7E) and the quote and the backslash
  // as \xHH, so that the line stays one line of plain characters. cut: s is the start of
  // a longer text, marked "..." inside the quotes.
  //   Quoted("10abc") -> "10abc"      Quoted("bad\nname") -> "bad\x0Aname"
  //   Quoted("1111111111111111", true) -> "1111111111111111..."
  FixedText& Quoted(std::string_view s, bool cut = false) {
    Put('"');
    for (char c : s) {
      auto b = static_cast<uint8_t>(c);
      if (b > 0x20 && b < 0x7F && b != '"' && b != '\\') {
        Put(c);
      } else {
        Add("\\x").Put(HexDigit(b >> 4)).Put(HexDigit(b));
      }
    }
    if (cut) Add("...");
    Put('"');
    return *this;
  }

  // A file name as it is, or Quoted when a terminal would act on one of its bytes:
  //   Name("tables/march.txt") -> tables/march.txt     Name("bad\nname") -> "bad\x0Aname"
  FixedText& Name(std::string_view s) { return ActsOnTerminal(s) ? Quoted(s) : Add(s); }
  template <int Hi>
  FixedText& Name(const CheckedArray<char, 0, Hi>& s) {
    int length = 0;
    while (length <= Hi && s[length] != '\0') ++length;
    return Name(std::string_view(s.Range(0, length), static_cast<size_t>(length)));
  }

  // Whether a terminal would act on a byte of s rather than show it: a control byte
  // (0x00..0x1F), DEL, or a C1 control (0x80..0x9F), in UTF-8 (C2 80..C2 9F) or as a
  // byte of its own outside a UTF-8 sequence. Other bytes above 0x7F (letters in UTF-8
  // or in a code page) show as what they are.
  static bool ActsOnTerminal(std::string_view s) {
    for (size_t at = 0; at < s.size();) {
      auto b = static_cast<uint8_t>(s[at]);
      if (b < 0x20 || b == 0x7F) return true;
      size_t length = b < 0x80                 ? 1
                      : b >= 0xC2 && b <= 0xDF ? 2
                      : b >= 0xE0 && b <= 0xEF ? 3
                      : b >= 0xF0 && b <= 0xF4 ? 4
                                               : 0;
      bool sequence = length > 0 && at + length <= s.size();
      for (size_t i = 1; sequence && i < length; ++i)
        sequence = (static_cast<uint8_t>(s[at + i]) & 0xC0) == 0x80;
      if (!sequence) {
        if (b >= 0x80 && b <= 0x9F) return true;
        ++at;
        continue;
      }
      if (b == 0xC2 && static_cast<uint8_t>(s[at + 1]) <= 0x9F) return true;
      at += length;
    }
    return false;
  }

  // Decimal, with a minus sign when negative.
  FixedText& Number(int32_t value) {
    if (value < 0) Put('-');
    return Unsigned(value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value));
  }

  // Decimal, all 32 bits (a seed).
  FixedText& Unsigned(uint32_t value) {
    CheckedArray<char, 0, 9> digits;  // 4294967295 has 10
    int count = 0;
    do {
      digits[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (count > 0) Put(digits[--count]);
    return *this;
  }

  // Adds the end in the reserved room (as much of it as fits the whole area).
  void Close(std::string_view end) {
    for (char c : end)
      if (length_ < Size) chars_[length_++] = c;
  }

  int32_t Length() const { return length_; }
  char& operator[](int i) { return chars_[i]; }
  char operator[](int i) const { return chars_[i]; }
  std::string_view View() const { return {chars_.Range(0, length_), static_cast<size_t>(length_)}; }

 private:
  CheckedArray<char, 0, Size - 1> chars_;
  int32_t length_ = 0;
  int32_t limit_;
};

// A line in words for standard error (the longest the runtime composes is about 1200
// bytes, with a file name of 259 shown as \xHH each), with room kept for the line end.
using WordsLine = FixedText<1536>;
inline constexpr int kLineEndRoom = 2;
