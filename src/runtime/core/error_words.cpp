#include "runtime/core/error_words.h"

#include "runtime/platform/error_codes.h"

namespace {

struct CodeWords {
  uint8_t code;
  const char* words;
};

constexpr CodeWords kCodeWords[] = {
    {kNotBound, "no file is bound to it"},
    {kNotOpen, "it is not open"},
    {kNotOpenForReading, "it is not open"},
    {kNotOpenForWriting, "it is not open"},
    {kInvalidNumber, "not a number"},
    {kDivisionByZero, "division by zero"},
    {kRangeCheck, "index out of range"},
    {kStackOverflow, "stack overflow"},
    {kFloatOverflow, "floating-point overflow"},
    {kFloatUnderflow, "floating-point underflow"},
    {kInvalidOperation, "invalid floating-point operation"},
    {kIntegerOverflow, "integer overflow"},
    {kAccessViolation, "access violation"},
    {kInterrupted, "interrupted"},
    {kIllegalInstruction, "illegal instruction"},
};

}  // namespace

const char* ErrorWords(uint8_t code) {
  for (const CodeWords& entry : kCodeWords)
    if (entry.code == code) return entry.words;
  return nullptr;
}
