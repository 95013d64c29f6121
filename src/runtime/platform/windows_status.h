#pragma once
// Windows exception statuses and the runtime error codes they stop the program with.
// Plain numbers, so the table is the same (and tested) on every system.
//
//   0xC0000090 (invalid floating-point operation) -> 207
//   0xC00000FD (stack overflow)                    -> 202
//   0xC0000135 (any status not in the table)       -> 255

#include <cstdint>

// Whether a status ends the run: errors (severity bits 11) that the system itself
// defines. Informational ones such as the debugger's Ctrl-C notice (0x40010005), warnings
// and statuses an application defines (the customer bit, a C++ exception) are left to
// whoever else handles them.
constexpr bool EndsTheRun(uint32_t status) { return (status & 0xE0000000u) == 0xC0000000u; }

uint8_t CodeForExceptionStatus(uint32_t status);
