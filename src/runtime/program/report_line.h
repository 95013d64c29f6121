#pragma once
// The report line a stop writes on standard output, 29 characters, a zero byte, then
// CR LF:
//   "Runtime error 106 at 000ABCDE"   code right-aligned in 3, address as 8 hex digits.

#include <cstdint>

#include "runtime/core/checked.h"

// The 29 characters of the report and its terminating zero byte.
using ReportLine = CheckedArray<char, 0, 29>;
void FormatReport(uint8_t code, uint32_t address, ReportLine& report);
