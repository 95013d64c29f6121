#pragma once
// The program's one source of chance: a 32-bit linear congruential generator with one
// process-wide state word, and the two draws built on it. Every draw advances the state
// by exactly one step first, so one seed fixes the whole run.
//
// From state 0: the next states are 1, 134775814, 3698175007, ...; RandomReal gives
// 2^-32, 0.031379939522594213, ...; RandomBelow(10) gives 0, 0, 8, 2, 2, 6.

#include <cstdint>

extern uint32_t gRandomSeed;  // 0 until seeded

// gRandomSeed := gRandomSeed * 134775813 + 1 (mod 2^32).
inline void NextSeed() { gRandomSeed = gRandomSeed * 134775813u + 1u; }

// The new state / 2^32, in [0, 1): exact in a double, never 1. A caller that stores it
// in a float rounds it there (the 128 states from 4294967168 up round to 1.0f).
inline double RandomReal() {
  NextSeed();
  return static_cast<double>(gRandomSeed) * 0x1p-32;
}

// floor(n * new state / 2^32): in [0, n) for n >= 1, 0 for n = 0. No rejection.
inline uint32_t RandomBelow(uint32_t n) {
  NextSeed();
  return static_cast<uint32_t>((static_cast<uint64_t>(n) * gRandomSeed) >> 32);
}

// Seeds from the system's clock: the low 32 bits of the monotonic clock in nanoseconds
// on Linux (of the real-time clock in milliseconds if that fails), of the performance
// counter on Windows (of the millisecond tick count if that fails).
void SeedFromClock();
