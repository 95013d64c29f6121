#pragma once
// The buffer of a text channel: standard input and the profit file are read, and standard
// output is written, in blocks of up to 128 bytes.

#include <cstdint>

#include "runtime/core/checked.h"

inline constexpr uint32_t kTextBufferSize = 128;

using TextBuffer = CheckedArray<uint8_t, 0, kTextBufferSize - 1>;
