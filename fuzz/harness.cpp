#include "harness.h"

#include <setjmp.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "fake_platform.h"
#include "report_line.h"
#include "runtime/arith/extended.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/program/program.h"
#include "runtime/stream/text_input.h"
#include "runtime/stream/text_output.h"

namespace {

sigjmp_buf gJump;
volatile sig_atomic_t gGuarded = 0;
volatile int gExitStatus = 0;
volatile int gTrapCode = 0;

constexpr size_t kOutputLimit = 65536;
std::string gRecorded;

// A fresh fake for each input.
std::optional<FakePlatform> gFake;

uint64_t NextRandom(uint64_t& state) {  // xorshift64*
  state ^= state >> 12;
  state ^= state << 25;
  state ^= state >> 27;
  return state * 0x2545F4914F6CDD1Du;
}

// The script's bytes in chunks of 1 .. 128, now and then whole reads of 128, with a
// failing read in between for one chunk in eight when faults are on.
std::deque<FakeChunk> Chunks(const DeviceScript& script, uint64_t& random) {
  std::deque<FakeChunk> chunks;
  std::string_view left = script.data;
  while (!left.empty()) {
    uint64_t r = NextRandom(random);
    if (script.faults && r % 8 == 1) chunks.push_back({"", EIO});
    size_t n = (r >> 16) % 4 == 0 ? 128 : 1 + (r >> 24) % 128;
    if (n > left.size()) n = left.size();
    chunks.push_back({std::string(left.substr(0, n))});
    left.remove_prefix(n);
  }
  return chunks;
}

// Every stop of the program ends here; inside RunGuarded it returns there instead.
void OnExit(int status) {
  if (!gGuarded) return;  // the system's exit follows
  gGuarded = 0;
  gExitStatus = status;
  siglongjmp(gJump, 1);
}

void OnFloatingPointTrap(int, siginfo_t* info, void*) {
  if (!gGuarded) {
    static const char message[] = "floating-point trap outside the program\n";
    (void)!write(2, message, sizeof message - 1);
    abort();
  }
  gGuarded = 0;
  gTrapCode = info->si_code;
  siglongjmp(gJump, 2);
}

// After the fuzzer has set up its own handlers, so that SIGFPE comes here.
void InstallTrapHandlerOnce() {
  static bool installed = false;
  if (installed) return;
  struct sigaction action = {};
  action.sa_sigaction = OnFloatingPointTrap;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  sigaction(SIGFPE, &action, nullptr);
  installed = true;
}

}  // namespace

DeviceLog Device() {
  const FakePlatform& fake = *gFake;
  DeviceLog log;
  log.delivered = fake.delivered;
  log.endReported = fake.endReported;
  log.readsAfterEnd = fake.readsAfterEnd;
  log.faultsInjected = fake.failedReads + (fake.closeError != 0 ? fake.closes : 0);
  log.badRequests = fake.badReads;
  return log;
}

void Fail(const char* what) {
  std::fprintf(stderr, "\nfinding: %s\n", what);
  std::abort();
}

void ResetProgram(const DeviceScript& script) {
  gFake.reset();
  FakePlatform& fake = gFake.emplace();
  uint64_t random = script.seed != 0 ? script.seed : 1;
  fake.input = Chunks(script, random);
  fake.scriptedFiles = true;
  fake.closeError = script.faults && NextRandom(random) % 4 == 0 ? EIO : 0;
  fake.writeLimit = kOutputLimit;
  fake.onExit = OnExit;
  gPendingIOCode = 0;
  gExitCode = 0;
  gErrorAddress = 0;
  // The fuzzer's own main runs no start-up: a stop ends through the program's end
  // sequence all the same (its report line is what RequireReportFor checks).
  SetEndSequence(EndProgram);
  MarkStandardInputClosed();
  MarkOutputClosed();
}

std::string_view RecordedOutput() {
  gRecorded = gFake->Written();
  return gRecorded;
}

std::string_view RecordedErrors() { return gFake->errorWritten; }

Outcome RunGuarded(void (*body)(void*), void* context) {
  InstallTrapHandlerOnce();
  const X87State saved = SaveX87State();
  Outcome outcome;
  int how = sigsetjmp(gJump, 1);
  if (how == 0) {
    LoadArithmeticSetting();
    gGuarded = 1;
    body(context);
    gGuarded = 0;
    Require(!X87FaultPending(), "an x87 exception left pending past the program's checkpoints");
  } else if (how == 1) {
    outcome.kind = Outcome::kStopped;
    outcome.exitCode = gExitStatus;
  } else {
    outcome.kind = Outcome::kTrapped;
    outcome.trapCode = gTrapCode;
  }
  RestoreX87State(saved);
  return outcome;
}

void RequireReportFor(const Outcome& outcome) {
  if (outcome.kind != Outcome::kStopped) return;
  std::string_view out = RecordedOutput();
  std::string fault =
      ReportLineFault(out.substr(out.size() < 32 ? 0 : out.size() - 32), outcome.exitCode);
  if (!fault.empty()) Fail(fault.c_str());
}
