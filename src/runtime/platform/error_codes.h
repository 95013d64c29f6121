#pragma once
// The runtime error codes by name, the exit statuses of the stops. Codes 102..106 come
// from input and output, 200 and above from the processor or a check. Plain numbers,
// down here so that the platform's fault handling names them too (core/error_words.h
// has the words for each).

#include <cstdint>

inline constexpr uint8_t kNotBound = 102;           // a channel with no file bound
inline constexpr uint8_t kNotOpen = 103;            // closing a channel that is not open
inline constexpr uint8_t kNotOpenForReading = 104;  // reading a channel that is not open
inline constexpr uint8_t kNotOpenForWriting = 105;  // standard output cannot be opened
inline constexpr uint8_t kInvalidNumber = 106;
inline constexpr uint8_t kDivisionByZero = 200;
inline constexpr uint8_t kRangeCheck = 201;
inline constexpr uint8_t kStackOverflow = 202;
inline constexpr uint8_t kFloatOverflow = 205;
inline constexpr uint8_t kFloatUnderflow = 206;
inline constexpr uint8_t kInvalidOperation = 207;
inline constexpr uint8_t kIntegerOverflow = 215;
inline constexpr uint8_t kAccessViolation = 216;
inline constexpr uint8_t kInterrupted = 217;
inline constexpr uint8_t kIllegalInstruction = 218;
