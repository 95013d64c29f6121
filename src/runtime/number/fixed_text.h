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

  // Bytes as the user gave them, in double quotes; each byte that would not show as itself
  // (blanks and control bytes, quotes, backslashes, bytes from 0x7F) as \xHH, and "..."
  // before the closing quote when the bytes were cut short.
  FixedText& Quoted(std::string_view bytes, bool cut) {
    Put('"');
    for (char c : bytes) {
      auto b = static_cast<uint8_t>(c);
      if (b > 0x20 && b < 0x7F && b != '"' && b != '\\') {
        Put(c);
      } else {
        Add("\\x").Put(HexDigit(b >> 4)).Put(HexDigit(b));
      }
    }
    if (cut) Add("...");
    return Put('"');
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

// A line in words for standard error (the longest the runtime composes is about 430
// bytes, with a file name of 259), with room kept for the line end.
using WordsLine = FixedText<512>;
inline constexpr int kLineEndRoom = 2;
