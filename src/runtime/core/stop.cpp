#include "runtime/core/stop.h"

#include "runtime/platform/error_codes.h"
#include "runtime/platform/platform.h"

int32_t gExitCode = 0;
uint32_t gErrorAddress = 0;
StopCause gStopCause = StopCause::kNone;

namespace {

EndSequence gEndSequence = nullptr;

}  // namespace

void SetEndSequence(EndSequence end) { gEndSequence = end; }

void EndRun() {
  if (gEndSequence != nullptr) gEndSequence();
  PlatformExit(gExitCode);
}

void EndRunWithStatus(int32_t status) {
  gExitCode = status;
  EndRun();
}

void RangeCheckFailed() { StopWithError(kRangeCheck, PLATFORM_CALLER_ADDRESS()); }

void StopWithError(uint8_t code, uint32_t address, StopCause cause) {
  gStopCause = cause;
  gExitCode = code;
  gErrorAddress = address;
  EndRun();
}
