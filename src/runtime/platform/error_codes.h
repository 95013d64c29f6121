#pragma once
// The runtime error codes by name, and the words a stop line uses for each. Codes
// 102..106 come from input and output, 200 and above from the processor or a check.
//
//   ErrorWords(kInvalidOperation) -> "invalid floating-point operation"
//   ErrorWords(42)                -> nullptr (no code of the runtime)

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

// The words for a code, or nullptr when the runtime has none for it.
const char* ErrorWords(uint8_t code);
