#include "harness.h"

#include <errno.h>
#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "report_line.h"
#include "runtime/fatal.h"
#include "runtime/fpu.h"
#include "runtime/platform.h"
#include "runtime/text_channel.h"
#include "runtime/text_output.h"

extern "C" [[noreturn]] void __real__exit(int status);

DeviceLog gDevice;

namespace {

sigjmp_buf gJump;
volatile sig_atomic_t gGuarded = 0;
volatile int gExitStatus = 0;
volatile int gTrapCode = 0;

DeviceScript gScript;
uint64_t gRandom = 1;

char gOutput[65536];
size_t gOutputLength = 0;

uint64_t NextRandom() {  // xorshift64*
  gRandom ^= gRandom >> 12;
  gRandom ^= gRandom << 25;
  gRandom ^= gRandom >> 27;
  return gRandom * 0x2545F4914F6CDD1Du;
}

ssize_t FakeRead(int fd, void* buffer, size_t count) {
  if ((fd != 0 && fd != kFakeFileDescriptor) || count == 0 || count > 128) {
    ++gDevice.badRequests;
    errno = EBADF;
    return -1;
  }
  if (gDevice.endReported) ++gDevice.readsAfterEnd;
  uint64_t r = NextRandom();
  if (r % 16 == 0) {
    errno = EINTR;
    return -1;
  }
  if (gScript.faults && r % 8 == 1) {
    ++gDevice.faultsInjected;
    errno = EIO;
    return -1;
  }
  size_t left = gScript.data.size() - gDevice.delivered;
  if (left == 0) {
    gDevice.endReported = true;
    if ((r >> 8) % 4 == 0) {
      errno = EPIPE;
      return -1;
    }
    return 0;
  }
  size_t n = (r >> 16) % 4 == 0 ? count : 1 + (r >> 24) % count;
  if (n > left) n = left;
  std::memcpy(buffer, gScript.data.data() + gDevice.delivered, n);
  gDevice.delivered += n;
  return static_cast<ssize_t>(n);
}

ssize_t RecordWrite(int fd, const void* data, size_t count) {
  if (fd == 1) {
    size_t room = sizeof gOutput - gOutputLength;
    size_t n = count < room ? count : room;
    std::memcpy(gOutput + gOutputLength, data, n);
    gOutputLength += n;
  }
  return static_cast<ssize_t>(count);
}

int FakeOpen(const char*, int flags) {
  // The program opens files for reading only and never creates one.
  Require((flags & O_ACCMODE) == O_RDONLY && (flags & (O_CREAT | O_TRUNC)) == 0,
          "a file opened for anything but reading");
  return kFakeFileDescriptor;
}

int FakeClose(int fd) {
  Require(fd == kFakeFileDescriptor, "close of a descriptor the program did not open");
  if (gScript.faults && NextRandom() % 4 == 0) {
    ++gDevice.faultsInjected;
    errno = EIO;
    return -1;
  }
  return 0;
}

int FakeStat(int, struct stat* info) {
  std::memset(info, 0, sizeof *info);
  info->st_mode = S_IFIFO;  // standard output is a pipe: output goes out in blocks
  return 0;
}

int FakeFcntl(int, int) { return 0; }

const PlatformCalls kFakePlatform = {FakeRead,  RecordWrite, FakeOpen,
                                     FakeClose, FakeStat,    FakeFcntl};

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

struct FpuState {
  unsigned short control;
  unsigned mxcsr;
};

FpuState SaveFpu() {
  FpuState state;
  asm volatile("fnstcw %0" : "=m"(state.control));
  asm volatile("stmxcsr %0" : "=m"(state.mxcsr));
  return state;
}

void RestoreFpu(FpuState state) {
  unsigned mxcsr = state.mxcsr & ~0x3Fu;  // without the sticky exception flags
  asm volatile("fnclex\n\tfldcw %0" : : "m"(state.control));
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}

// An unmasked x87 exception that no waiting instruction has raised yet.
bool X87FaultPending() {
  unsigned short status;
  asm volatile("fnstsw %0" : "=m"(status));
  return (status & 0x80) != 0;
}

}  // namespace

// Every _exit of the program comes here; inside RunGuarded it returns there instead.
extern "C" [[noreturn]] void __wrap__exit(int status) {
  if (gGuarded) {
    gGuarded = 0;
    gExitStatus = status;
    siglongjmp(gJump, 1);
  }
  __real__exit(status);
}

void Fail(const char* what) {
  std::fprintf(stderr, "\nfinding: %s\n", what);
  std::abort();
}

void ResetProgram(const DeviceScript& script) {
  gScript = script;
  gRandom = script.seed != 0 ? script.seed : 1;
  gDevice = DeviceLog{};
  gOutputLength = 0;
  gPlatform = kFakePlatform;
  gInOutRes = 0;
  gExitCode = 0;
  gErrorAddress = 0;
  MarkStandardInputClosed();
  MarkOutputClosed();
}

std::string_view RecordedOutput() { return {gOutput, gOutputLength}; }

Outcome RunGuarded(void (*body)(void*), void* context) {
  InstallTrapHandlerOnce();
  const FpuState saved = SaveFpu();
  Outcome outcome;
  int how = sigsetjmp(gJump, 1);
  if (how == 0) {
    LoadFloatingPointSetting();
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
  RestoreFpu(saved);
  return outcome;
}

void RequireReportFor(const Outcome& outcome) {
  if (outcome.kind != Outcome::kStopped) return;
  std::string_view out = RecordedOutput();
  std::string fault =
      ReportLineFault(out.substr(out.size() < 32 ? 0 : out.size() - 32), outcome.exitCode);
  if (!fault.empty()) Fail(fault.c_str());
}
