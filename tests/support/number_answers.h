#pragma once
// Answers typed at the integer and real prompts, with what each must read as. Shared by
// the parser tests (which take the token) and the console tests (which type the answer).

#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "extended_values.h"

struct IntegerAnswer {
  const char* answer;  // the whole line as typed, without its line end
  const char* token;   // what the reader hands to ParseInteger
  bool ok;
  int32_t value;
};

inline constexpr IntegerAnswer kIntegerAnswers[] = {
    {"10", "10", true, 10},
    {"10 abc", "10", true, 10},
    {"10abc", "10abc", false, 0},
    {"  -7", "-7", true, -7},
    {"+7", "+7", true, 7},
    {"$1F", "$1F", true, 31},
    {"x1F", "x1F", true, 31},
    {"0x1f", "0x1f", true, 31},
    {"0X1F", "0X1F", true, 31},
    {"-$10", "-$10", true, -16},
    {"$FFFFFFFF", "$FFFFFFFF", true, -1},
    {"010", "010", true, 10},
    {"2147483647", "2147483647", true, 2147483647},
    {"2147483648", "2147483648", false, 0},
    {"-2147483648", "-2147483648", true, std::numeric_limits<int32_t>::min()},
    {"-2147483649", "-2147483649", false, 0},
    {"$100000000", "$100000000", false, 0},
    {"+", "+", false, 0},
    {"-", "-", false, 0},
    {"$", "$", false, 0},
    {"0x", "0x", false, 0},
    {"--1", "--1", false, 0},
    {"1.0", "1.0", false, 0},
    {"1,5", "1,5", false, 0},
    {"Inf", "Inf", false, 0},
};

struct RealAnswer {
  const char* answer;
  const char* token;
  bool ok;
  Extended value;
};

inline const RealAnswer kRealAnswers[] = {
    {"0.01", "0.01", true, XFields(false, 0x3FF8, 0xA3D70A3D70A3D70A)},  // nearest to 0.01
    {"1E+2", "1E+2", true, X(100.0)},
    {"1e-2", "1e-2", true, XFields(false, 0x3FF8, 0xA3D70A3D70A3D70A)},
    {".5", ".5", true, X(0.5)},
    {"5.", "5.", true, X(5.0)},
    {".", ".", true, X(0.0)},
    {"e5", "e5", true, X(0.0)},
    {".e2", ".e2", true, X(0.0)},
    {"-0", "-0", true, X(-0.0)},
    {"-.", "-.", true, X(-0.0)},
    {"1e", "1e", false, X(0.0)},
    {"1e+", "1e+", false, X(0.0)},
    {"1.2.3", "1.2.3", false, X(0.0)},
    {"$10", "$10", false, X(0.0)},
    {"1,5", "1,5", false, X(0.0)},
    {"Inf", "Inf", false, X(0.0)},
    {"0e5120", "0e5120", true, X(0.0)},
    {"-0e99999", "-0e99999", true, -X(0.0)},
    {"1e-5120", "1e-5120", true, X(0.0)},
    {"1e39", "1e39", true,
     XFields(false, 0x4080, 0xBC143FA4E250EB31)},  // 1e7 * 1e32 happens to round to the nearest
};
