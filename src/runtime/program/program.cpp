#include "runtime/core/stop.h"

#include <atomic>

#include "runtime/core/checked.h"
#include "runtime/number/extended_x87.h"
#include "runtime/platform/platform.h"
#include "runtime/program/stop_line.h"
#include "runtime/stream/text_input.h"
#include "runtime/stream/text_output.h"

int32_t gExitCode = 0;
uint32_t gErrorAddress = 0;
int32_t gInOutRes = 0;

namespace {

// Set once the end sequence has begun, on whichever thread got there first.
std::atomic<bool> gEnding{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void WritePendingOutput() {
  if (gTextOutput.open && gTextOutput.position > 0) WriteOutBuffer();
}

// A fault while the run is already ending (in one of its last writes, or a Ctrl-C on
// another thread) ends at once, after what is still pending, with the stop's code if it
// had one: the buffer is emptied before each write, so nothing goes out twice.
void StopOnFault(uint8_t code, uint32_t address) {
  if (gEnding.load()) {
    WritePendingOutput();
    PlatformExit(gExitCode != 0 ? gExitCode : code);
  }
  LoadFloatingPointSetting();
  StopWithError(code, address);
}

}  // namespace

void StartUp() {
  PlatformInstallFaultHandling({StopOnFault, WritePendingOutput});
  LoadFloatingPointSetting();
  MarkStandardInputClosed();
  MarkOutputClosed();
}

void CheckIOResult() {
  if (gInOutRes == 0) [[likely]] return;
  NoteInputOutputStop();
  StopWithError(FailureStatus(gInOutRes), PlatformCodeAddress(__builtin_return_address(0)));
}

void RangeCheckFailed() {
  StopWithError(201, PlatformCodeAddress(__builtin_return_address(0)));
}

uint8_t TruncateToByteSlow(long double t) {
  uint32_t here = PlatformCodeAddress(__builtin_return_address(0));
  // Beyond 2^63 (or a NaN) the truncation itself is an invalid operation.
  if (!__builtin_isless(__builtin_fabsl(t), 0x1p63L)) StopWithError(207, here);
  StopWithError(201, here);
}

void StopWithError(uint8_t code, uint32_t address) {
  gExitCode = code;
  gErrorAddress = address;
  EndProgram();
}

void FormatReport(uint8_t code, uint32_t address, ReportLine& report) {
  static constexpr char kTemplate[] = "Runtime error     at 00000000";
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  for (int i = 0; i < 30; ++i) report[i] = kTemplate[i];
  int at = 16;
  do {
    report[at--] = static_cast<char>('0' + code % 10);
    code /= 10;
  } while (code != 0);
  at = 28;
  do {
    report[at--] = kHexDigits[address % 16];
    address /= 16;
  } while (address != 0);
}

void EndProgram() {
  gEnding.store(true);
  if (gErrorAddress != 0) {
    ReportLine report;
    FormatReport(static_cast<uint8_t>(gExitCode), gErrorAddress, report);
    // The line in words is composed before anything is written: a failing write of the
    // pending output would note a failure of its own.
    StopMessageText message;
    int length = ComposeStopMessage(static_cast<uint8_t>(gExitCode), message);
    WritePendingOutput();
    PlatformHandle output;
    if (gPlatform.standardOutput(&output) == 0) {
      gPlatform.write(output, report.Range(0, 30), 30);
      gPlatform.write(output, "\r\n", 2);
    }
    gErrorAddress = 0;
    PlatformWriteErrorStream(message.Range(0, length), static_cast<size_t>(length));
  }
  CloseChannel(StandardInput);
  int32_t lost = CloseOutput();
  // Standard error is written unbuffered, so there is nothing to close out there. Output
  // lost at a normal end still gets its line there (normal context: no signal ends here).
  if (gExitCode == 0 && lost != 0) {
    gExitCode = FailureStatus(lost);
    NoteInputOutputStop();
    WriteStopMessage(static_cast<uint8_t>(gExitCode));
  }
  PlatformExit(gExitCode);
}
