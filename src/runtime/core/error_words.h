#pragma once
// The words a stop line uses for each runtime error code.
//
//   ErrorWords(kInvalidOperation) -> "invalid floating-point operation"
//   ErrorWords(42)                -> nullptr (no code of the runtime)

#include <cstdint>

// The words for a code, or nullptr when the runtime has none for it.
const char* ErrorWords(uint8_t code);
