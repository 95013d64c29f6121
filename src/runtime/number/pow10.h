#pragma once
// x * 10^n in extended precision through three tables of powers of ten, rounding after
// each multiplication (or division). Shared by number reading and number formatting.
//
//   ScalePow10(1.5, 2)     == 150
//   ScalePow10(x, 5120)    == +infinity for every x, zero included
//   ScalePow10(x, -5120)   == 0
//
// An overflow of the extended range traps (205) before this returns.

#include <cstdint>

#include "runtime/arith/extended.h"
#include "runtime/core/checked.h"

Extended ScalePow10(Extended x, int32_t n);

// Each entry is the extended value nearest to its power of ten; 10^0 .. 10^27 are exact.
extern const CheckedArray<Extended, 0, 31> kPow10Small;  // 10^i, i = 0 .. 31
extern const CheckedArray<Extended, 1, 15> kPow10Mid;    // 10^(32 j), j = 1 .. 15
extern const CheckedArray<Extended, 1, 9> kPow10Large;   // 10^(512 l), l = 1 .. 9
