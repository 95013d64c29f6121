#include "runtime/program/report_line.h"

#include "runtime/number/fixed_text.h"

void FormatReport(uint8_t code, uint32_t address, ReportLine& report) {
  static constexpr char kTemplate[] = "Runtime error     at 00000000";
  for (int i = 0; i < 30; ++i) report[i] = kTemplate[i];
  int at = 16;
  do {
    report[at--] = static_cast<char>('0' + code % 10);
    code /= 10;
  } while (code != 0);
  at = 28;
  do {
    report[at--] = HexDigit(address);
    address /= 16;
  } while (address != 0);
}
