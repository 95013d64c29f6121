#pragma once
// The one check of a stop's report line, for the unit and end-to-end suites and the fuzz
// targets alike: "Runtime error CCC at XXXXXXXX" (the code right-aligned in 3, the
// address as 8 upper-case hexadecimal digits, not all zero), a zero byte and CR LF.

#include <cstdio>
#include <string>
#include <string_view>

// What is wrong with line as the report of a stop with this code; empty when nothing.
inline std::string ReportLineFault(std::string_view line, int code) {
  char head[32];
  std::snprintf(head, sizeof head, "Runtime error %3d at ", code);
  if (line.size() != 32 || line.substr(0, 21) != head)
    return "not the report line of " + std::to_string(code);
  std::string_view address = line.substr(21, 8);
  for (char c : address) {
    if ((c < '0' || c > '9') && (c < 'A' || c > 'F'))
      return "address not 8 upper-case hexadecimal digits";
  }
  if (address == "00000000") return "zero address";
  if (line.substr(29) != std::string_view("\0\r\n", 3)) return "no zero byte and CR LF";
  return "";
}
