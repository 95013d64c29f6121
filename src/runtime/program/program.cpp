#include "runtime/program/program.h"

#include <atomic>

#include "runtime/arith/extended.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/platform/platform.h"
#include "runtime/program/report_line.h"
#include "runtime/stream/text_input.h"
#include "runtime/stream/text_output.h"

namespace {

StopWords gWords;

// Set once the end sequence has begun, on whichever thread got there first. A word, not
// a bool: riscv64 has lock-free atomics only from 4 bytes up, and a signal handler reads it.
std::atomic<int> gEnding{0};
static_assert(std::atomic<int>::is_always_lock_free);

// A fault while the run is already ending (in one of its last writes, or a Ctrl-C on
// another thread) ends at once, after what is still pending, with the stop's code if it
// had one: the buffer is emptied before each write, so nothing goes out twice.
void StopOnFault(uint8_t code, uint32_t address) {
  if (gEnding.load() != 0) {
    WritePendingOutput();
    PlatformExit(gExitCode != 0 ? gExitCode : code);
  }
  LoadArithmeticSetting();
  StopWithError(code, address, StopCause::kFault);
}

}  // namespace

void StartUp(const StopWords& words) {
  gWords = words;
  SetEndSequence(EndProgram);
  PlatformInstallFaultHandling({StopOnFault, WritePendingOutput, LoadArithmeticSetting});
  LoadArithmeticSetting();
  MarkStandardInputClosed();
  MarkOutputClosed();
}

void EndProgram() {
  gEnding.store(1);
  if (gErrorAddress != 0) {
    ReportLine report;
    FormatReport(static_cast<uint8_t>(gExitCode), gErrorAddress, report);
    // The line in words is composed before anything is written: a failing write of the
    // pending output would note a failure of its own.
    WordsLine line = ComposeStopLine(static_cast<uint8_t>(gExitCode), gWords);
    WritePendingOutput();
    PlatformHandle output;
    if (gPlatform.standardOutput(&output) == 0) {
      gPlatform.write(output, report.Range(0, 30), 30);
      gPlatform.write(output, "\r\n", 2);
    }
    gErrorAddress = 0;
    PlatformWriteErrorStream(line.View().data(), line.View().size());
  }
  CloseInput(gStandardInput);
  int32_t lost = CloseOutput();
  // Standard error is written unbuffered, so there is nothing to close out there. Output
  // lost at a normal end still gets its line there (normal context: no signal ends here).
  if (gExitCode == 0 && lost != 0) {
    gExitCode = FailureStatus(lost);
    NoteInputOutputStop();
    WriteStopLine(static_cast<uint8_t>(gExitCode), gWords);
  }
  PlatformExit(gExitCode);
}
