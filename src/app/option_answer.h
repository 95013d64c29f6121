#pragma once
// An answer given on the command line, read as if it had been typed: the option's text
// goes through an input of its own (OpenText), so the same token rules hold (the 32 and 64
// byte areas, 106 for an invalid token, hexadecimal integers) and whatever follows the
// first token is discarded, as the rest of an answer line is.
//
//   "266"     -> 266 (the dialogue keeps its low 8 bits: 10)
//   "10 abc"  -> 10
//   "10abc"   -> 0, with 106 pending

#include <cstdint>

#include "runtime/arith/extended.h"

int32_t ReadIntegerAnswer(const char* text);
Extended ReadRealAnswer(const char* text);
