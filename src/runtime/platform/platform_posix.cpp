// The seam on Linux (glibc; x86-64, aarch64, riscv64, s390x): file descriptors, errno, signals.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <initializer_list>

#include "runtime/platform/error_codes.h"
#include "runtime/platform/platform.h"
#include "runtime/platform/platform_common.h"

// Start of the executable's image, provided by the linker.
extern "C" const char __executable_start[];

namespace {

int OpenForReading(const char* name, PlatformHandle* handle) {
  *handle = open(name, O_RDONLY | O_CLOEXEC);
  return *handle < 0 ? errno : 0;
}

int OpenForWriting(const char* name, PlatformHandle* handle) {
  *handle = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return *handle < 0 ? errno : 0;
}

// Descriptor 0 must be open at all; what it is does not matter.
int StandardInput(PlatformHandle* handle) {
  *handle = STDIN_FILENO;
  return fcntl(STDIN_FILENO, F_GETFD) < 0 ? errno : 0;
}

int StandardOutput(PlatformHandle* handle) {
  *handle = STDOUT_FILENO;
  return 0;
}

// A character device (a terminal, also /dev/null) counts as the console.
int IsConsole(PlatformHandle handle, bool* console) {
  struct stat info;
  if (fstat(handle, &info) < 0) return errno;
  *console = S_ISCHR(info.st_mode);
  return 0;
}

int Read(PlatformHandle handle, void* buffer, uint32_t count, uint32_t* delivered) {
  *delivered = 0;
  for (;;) {
    ssize_t got = read(handle, buffer, count);
    if (got >= 0) {
      *delivered = static_cast<uint32_t>(got);
      return 0;
    }
    if (errno == EINTR) continue;
    if (errno == EPIPE) return 0;
    return errno;
  }
}

int Write(PlatformHandle handle, const void* data, uint32_t count) {
  const char* next = static_cast<const char*>(data);
  while (count > 0) {
    ssize_t written = write(handle, next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;  // no progress and no error: do not spin
    next += written;
    count -= static_cast<uint32_t>(written);
  }
  return 0;
}

int Close(PlatformHandle handle) { return close(handle) < 0 ? errno : 0; }

uint32_t LowBits(const timespec& now, uint64_t unitsPerSecond, uint64_t nanosecondsPerUnit) {
  uint64_t count = static_cast<uint64_t>(now.tv_sec) * unitsPerSecond +
                   static_cast<uint64_t>(now.tv_nsec) / nanosecondsPerUnit;
  return static_cast<uint32_t>(count);
}

// The low 32 bits of the monotonic clock in nanoseconds; if that clock fails, of the
// real-time clock in milliseconds. clock_gettime is called directly, not through
// <chrono>, so that a library preloaded in its place can fix the seed of the program.
uint32_t SeedClock() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) == 0) return LowBits(now, 1000000000u, 1);
  clock_gettime(CLOCK_REALTIME, &now);
  return LowBits(now, 1000u, 1000000u);
}

void Exit(int status) { _exit(status); }

FaultResponse gResponse;

// The requests a user sends to end a program that hangs. No handler blocks them, their
// own included, so they end the process also while a stop or another request is stuck
// writing its pending output into a pipe nobody reads: the nested request finds that
// output already taken from the buffer and goes on to the default action.
constexpr int kInsistentRequests[] = {SIGTERM, SIGHUP, SIGQUIT};

// The other signals whose default action ends the process, less those that stop the run
// with a code of their own (SIGINT and the faults), those the program ignores (SIGPIPE,
// SIGXFSZ) and those nobody can catch. The real-time signals end it too.
constexpr int kOtherEndRequests[] = {SIGUSR1, SIGUSR2, SIGALRM,   SIGVTALRM, SIGPROF, SIGXCPU,
                                     SIGPOLL, SIGPWR,  SIGSTKFLT, SIGTRAP,   SIGABRT, SIGSYS};

// Room for the handler when the fault is a stack overflow.
alignas(16) char gSignalStack[64 * 1024];

// The interrupted program counter and stack pointer, where each processor keeps them.
struct Registers {
  uintptr_t pc;
  uintptr_t sp;
};
Registers InterruptedAt(const ucontext_t* context) {
  const auto& m = context->uc_mcontext;
#if defined(__x86_64__)
  return {static_cast<uintptr_t>(m.gregs[REG_RIP]), static_cast<uintptr_t>(m.gregs[REG_RSP])};
#elif defined(__aarch64__)
  return {static_cast<uintptr_t>(m.pc), static_cast<uintptr_t>(m.sp)};
#elif defined(__riscv)
  return {static_cast<uintptr_t>(m.__gregs[0]), static_cast<uintptr_t>(m.__gregs[2])};
#elif defined(__s390x__)
  return {static_cast<uintptr_t>(m.psw.addr), static_cast<uintptr_t>(m.gregs[15])};
#else
#error "no program counter known for this processor"
#endif
}

// A fault just below or at the stack pointer is the stack running out.
bool IsStackOverflow(const siginfo_t* info, const ucontext_t* context) {
  auto fault = reinterpret_cast<uintptr_t>(info->si_addr);
  uintptr_t sp = InterruptedAt(context).sp;
  return fault <= sp + 4096 && fault + 65536 >= sp;
}

uint8_t CodeForFloatingPointSignal(int signalCode) {
  switch (signalCode) {
    case FPE_FLTDIV:
    case FPE_INTDIV:
      return kDivisionByZero;
    case FPE_FLTOVF:
      return kFloatOverflow;
    case FPE_FLTUND:
      return kFloatUnderflow;
    case FPE_FLTSUB:
      return kRangeCheck;
    case FPE_INTOVF:
      return kIntegerOverflow;
    default:
      return kInvalidOperation;  // FPE_FLTINV, FPE_FLTRES and anything unexpected
  }
}

uint8_t CodeForSignal(int signal, const siginfo_t* info, const ucontext_t* context) {
  switch (signal) {
    case SIGFPE:
      return CodeForFloatingPointSignal(info->si_code);
    case SIGSEGV:
    case SIGBUS:
      return IsStackOverflow(info, context) ? kStackOverflow : kAccessViolation;
    case SIGINT:
      return kInterrupted;
    case SIGILL:
      return kIllegalInstruction;
    default:
      return 255;
  }
}

void HandleFault(int signal, siginfo_t* info, void* raw) {
  auto* context = static_cast<ucontext_t*>(raw);
  auto pc = reinterpret_cast<const void*>(InterruptedAt(context).pc);
  gResponse.stop(CodeForSignal(signal, info, context), PlatformCodeAddress(pc));
  _exit(255);  // the stop does not return
}

// The pending output first, then the signal's own default action, so the parent sees
// the usual status (143 for SIGTERM).
void HandleEndRequest(int signal, siginfo_t*, void*) {
  gResponse.writePending();
  struct sigaction defaults = {};
  defaults.sa_handler = SIG_DFL;
  sigaction(signal, &defaults, nullptr);
  // An insistent request ends the process right here; any other signal is blocked while
  // its handler runs and arrives with the unblocking.
  raise(signal);
  sigset_t just;
  sigemptyset(&just);
  sigaddset(&just, signal);
  sigprocmask(SIG_UNBLOCK, &just, nullptr);
}

void Handle(int signal, void (*handler)(int, siginfo_t*, void*)) {
  struct sigaction action = {};
  action.sa_sigaction = handler;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigfillset(&action.sa_mask);
  for (int insistent : kInsistentRequests) {
    sigdelset(&action.sa_mask, insistent);
    if (signal == insistent) action.sa_flags |= SA_NODEFER;
  }
  sigaction(signal, &action, nullptr);
}

// A signal the program was started with ignored stays so: nohup's SIGHUP, or the SIGINT
// of a background job in a non-interactive shell.
bool IgnoredAtStart(int signal) {
  struct sigaction current = {};
  sigaction(signal, nullptr, &current);
  return (current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN;
}

void HandleEndRequests() {
  for (int signal : kInsistentRequests)
    if (!IgnoredAtStart(signal)) Handle(signal, HandleEndRequest);
  for (int signal : kOtherEndRequests)
    if (!IgnoredAtStart(signal)) Handle(signal, HandleEndRequest);
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
    if (!IgnoredAtStart(signal)) Handle(signal, HandleEndRequest);
}

void Ignore(int signal) {
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(signal, &ignore, nullptr);
}

void WriteErrorStream(const char* text, size_t count) {
  while (count > 0) {
    ssize_t written = write(STDERR_FILENO, text, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text += written;
    count -= static_cast<size_t>(written);
  }
}

// strerrordesc_np neither translates nor allocates, so it is safe in the end sequence.
void ErrorText(int code, char* text, size_t size) {
  CopyErrorText(strerrordesc_np(code), code, text, size);
}

}  // namespace

const PlatformOperations kSystemPlatform = {
    OpenForReading, StandardInput, StandardOutput, IsConsole,        Read,      Write,
    Close,          SeedClock,     Exit,           WriteErrorStream, ErrorText, OpenForWriting};
PlatformOperations gPlatform = kSystemPlatform;

void PlatformInstallFaultHandling(const FaultResponse& response) {
  gResponse = response;
  stack_t alternate = {};
  alternate.ss_sp = gSignalStack;
  alternate.ss_size = sizeof gSignalStack;
  sigaltstack(&alternate, nullptr);
  // A fault's signal cannot be ignored (the system ends the process instead), so its
  // handler goes in whatever the start left.
  for (int signal : {SIGFPE, SIGSEGV, SIGBUS, SIGILL}) Handle(signal, HandleFault);
  if (!IgnoredAtStart(SIGINT)) Handle(SIGINT, HandleFault);
  HandleEndRequests();
  for (int signal : {SIGPIPE, SIGXFSZ}) Ignore(signal);
}

uint32_t PlatformCodeAddress(const void* address) {
  return RelativeCodeAddress(address, __executable_start);
}

const char kPlatformLineEnd[] = "\n";
