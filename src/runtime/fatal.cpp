#include "runtime/fatal.h"

#include <signal.h>
#include <ucontext.h>

#include <cmath>

#include "runtime/checked.h"
#include "runtime/fpu.h"
#include "runtime/platform.h"
#include "runtime/stop_message.h"
#include "runtime/text_channel.h"
#include "runtime/text_output.h"

// Start of the executable's image, provided by the linker.
extern "C" const char __executable_start[];

int32_t gExitCode = 0;
uint32_t gErrorAddress = 0;
int32_t gInOutRes = 0;

namespace {

volatile sig_atomic_t gEnding = 0;

// Room for the handler when the fault is a stack overflow.
alignas(16) char gSignalStack[64 * 1024];

// A fault just below or at the stack pointer is the stack running out.
bool IsStackOverflow(const siginfo_t* info, const ucontext_t* context) {
  auto fault = reinterpret_cast<uintptr_t>(info->si_addr);
  auto sp = static_cast<uintptr_t>(context->uc_mcontext.gregs[REG_RSP]);
  return fault <= sp + 4096 && fault + 65536 >= sp;
}

uint8_t CodeForFloatingPointSignal(int signalCode) {
  switch (signalCode) {
    case FPE_FLTDIV:
    case FPE_INTDIV: return 200;
    case FPE_FLTOVF: return 205;
    case FPE_FLTUND: return 206;
    case FPE_FLTSUB: return 201;
    case FPE_INTOVF: return 215;
    default: return 207;  // FPE_FLTINV, FPE_FLTRES and anything unexpected
  }
}

uint8_t CodeForSignal(int signal, const siginfo_t* info, const ucontext_t* context) {
  switch (signal) {
    case SIGFPE: return CodeForFloatingPointSignal(info->si_code);
    case SIGSEGV:
    case SIGBUS: return IsStackOverflow(info, context) ? 202 : 216;
    case SIGINT: return 217;
    case SIGILL: return 218;
    default: return 255;
  }
}

void HandleSignal(int signal, siginfo_t* info, void* raw) {
  if (gEnding) PlatformExit(gExitCode != 0 ? gExitCode : 255);
  LoadFloatingPointSetting();
  auto* context = static_cast<ucontext_t*>(raw);
  auto pc = reinterpret_cast<const void*>(context->uc_mcontext.gregs[REG_RIP]);
  StopWithError(CodeForSignal(signal, info, context), CodeAddress(pc));
}

void InstallHandlers() {
  stack_t alternate = {};
  alternate.ss_sp = gSignalStack;
  alternate.ss_size = sizeof gSignalStack;
  sigaltstack(&alternate, nullptr);

  struct sigaction action = {};
  action.sa_sigaction = HandleSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigfillset(&action.sa_mask);
  for (int signal : {SIGFPE, SIGSEGV, SIGBUS, SIGILL, SIGINT}) sigaction(signal, &action, nullptr);

  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, nullptr);
}

}  // namespace

uint32_t CodeAddress(const void* address) {
  auto offset = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(__executable_start);
  auto low = static_cast<uint32_t>(offset);
  return low != 0 ? low : 1;
}

void StartUp() {
  InstallHandlers();
  LoadFloatingPointSetting();
  MarkStandardInputClosed();
  MarkOutputClosed();
}

void CheckIOResult() {
  if (gInOutRes == 0) [[likely]] return;
  NoteInputOutputStop();
  StopWithError(FailureStatus(gInOutRes), CodeAddress(__builtin_return_address(0)));
}

void RangeCheckFailed() { StopWithError(201, CodeAddress(__builtin_return_address(0))); }

uint8_t TruncateToByteSlow(long double t) {
  uint32_t here = CodeAddress(__builtin_return_address(0));
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
  gEnding = 1;
  if (gErrorAddress != 0) {
    ReportLine report;
    FormatReport(static_cast<uint8_t>(gExitCode), gErrorAddress, report);
    // The line in words is composed before anything is written: a failing write of the
    // pending output would note a failure of its own.
    StopMessageText message;
    int length = ComposeStopMessage(static_cast<uint8_t>(gExitCode), message);
    if (gTextOutput.open && gTextOutput.position > 0) WriteOutBuffer();
    PlatformWriteAll(1, report.Range(0, 30), 30);
    PlatformWriteAll(1, "\r\n", 2);
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
