// The seam's Linux implementation against the real system: interrupted and partial
// reads and writes, the seed's clock, requests to end and the file-size limit.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "app/stop_words.h"
#include "runtime/core/io_status.h"
#include "runtime/core/random.h"
#include "runtime/core/stop.h"
#include "runtime/platform/platform.h"
#include "runtime/program/program.h"
#include "runtime/stream/text_output.h"

namespace {

// SIGALRM every `micros` without SA_RESTART, so blocking calls see EINTR; undone by
// the destructor.
class Interruptions {
 public:
  explicit Interruptions(long micros) {
    struct sigaction action = {};
    action.sa_handler = [](int) { count.fetch_add(1); };
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, &saved_);
    itimerval timer = {{0, micros}, {0, micros}};
    setitimer(ITIMER_REAL, &timer, nullptr);
  }
  ~Interruptions() {
    itimerval off = {};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &saved_, nullptr);
  }
  static inline std::atomic<int> count = 0;

 private:
  struct sigaction saved_;
};

TEST(PosixRead, AnInterruptedReadIsRetried) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  pid_t writer = fork();
  if (writer == 0) {
    usleep(100000);
    (void)!write(ends[1], "5\n", 2);
    _exit(0);
  }
  close(ends[1]);
  Interruptions::count = 0;
  char buffer[128];
  uint32_t delivered = 0;
  int code;
  {
    Interruptions every(20000);
    code = kSystemPlatform.read(ends[0], buffer, sizeof buffer, &delivered);
  }
  EXPECT_GT(Interruptions::count.load(), 0);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(std::string(buffer, delivered), "5\n");
  close(ends[0]);
  waitpid(writer, nullptr, 0);
}

TEST(PosixWrite, InterruptedAndPartialWritesAreRetriedToTheLastByte) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::string data(4 << 20, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 4093);
  pid_t reader = fork();
  if (reader == 0) {
    close(ends[1]);
    std::string got;
    char chunk[4096];
    for (ssize_t n; (n = read(ends[0], chunk, sizeof chunk)) != 0;) {
      if (n > 0) got.append(chunk, static_cast<size_t>(n));
      if (got.size() % (256 << 10) < 4096) usleep(2000);  // a slow reader now and then
    }
    _exit(got == data ? 0 : 1);
  }
  close(ends[0]);
  Interruptions::count = 0;
  int code;
  {
    Interruptions every(500);
    code = kSystemPlatform.write(ends[1], data.data(), static_cast<uint32_t>(data.size()));
  }
  close(ends[1]);
  EXPECT_GT(Interruptions::count.load(), 0);
  EXPECT_EQ(code, 0);
  int status = 0;
  waitpid(reader, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the reader saw other bytes";
}

TEST(PosixRead, APipeWhoseWriterHasGoneIsTheEnd) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[1]);
  char buffer[8];
  uint32_t delivered = 99;
  EXPECT_EQ(kSystemPlatform.read(ends[0], buffer, sizeof buffer, &delivered), 0);
  EXPECT_EQ(delivered, 0u);
  close(ends[0]);
}

// The clock seen by the seed. Defining clock_gettime here puts it in place of the C
// library's, as a preloaded library would in the real program; while no fake is set it
// passes through to the kernel.
struct FakeClock {
  bool active = false;
  bool monotonicFails = false;
  timespec monotonic{};
  timespec realtime{};
  int monotonicCalls = 0;
};
FakeClock gFakeClock;

}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* now) {
  if (!gFakeClock.active) return static_cast<int>(syscall(SYS_clock_gettime, clock, now));
  if (clock == CLOCK_MONOTONIC) {
    ++gFakeClock.monotonicCalls;
    if (gFakeClock.monotonicFails) return -1;
    *now = gFakeClock.monotonic;
    return 0;
  }
  if (clock == CLOCK_REALTIME) {
    *now = gFakeClock.realtime;
    return 0;
  }
  return -1;
}

namespace {

TEST(PosixSeedClock, TakesLowBitsOfTheClock) {
  struct Case {
    bool monotonicFails;
    timespec monotonic;
    timespec realtime;
    uint32_t expected;
  };
  const Case cases[] = {
      // 5 000 000 007 ns = 0x12A05F207: the high bits are dropped.
      {false, {5, 7}, {99, 0}, 0x2A05F207u},
      {false, {0, 999999999}, {99, 0}, 999999999u},
      // 2^32 s + 1 ns: the product wraps in 64 bits, only the low 32 remain.
      {false,
       {0x100000000LL, 1},
       {99, 0},
       static_cast<uint32_t>(0x100000000ULL * 1000000000ULL + 1)},
      // Fallback: milliseconds of the real-time clock, 1700000000123 = 0x18BCFE5687B.
      {true, {5, 7}, {1700000000, 123456789}, 0xCFE5687Bu},
      {true, {5, 7}, {0, 999999}, 0u},
  };
  for (const Case& c : cases) {
    gFakeClock = {true, c.monotonicFails, c.monotonic, c.realtime, 0};
    uint32_t reading = kSystemPlatform.seedClock();
    gFakeClock.active = false;
    EXPECT_EQ(reading, c.expected) << c.monotonic.tv_sec << " " << c.realtime.tv_sec;
    EXPECT_EQ(gFakeClock.monotonicCalls, 1);
  }
}

TEST(PosixSeedClock, FollowsTheRealMonotonicClock) {
  timespec before{}, after{};
  syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &before);
  SeedFromClock();
  syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &after);
  auto low = [](const timespec& t) {
    return static_cast<uint32_t>(static_cast<uint64_t>(t.tv_sec) * 1000000000u +
                                 static_cast<uint64_t>(t.tv_nsec));
  };
  EXPECT_LE(gRandomSeed - low(before), low(after) - low(before));
}

// A request to end, any signal whose default action ends the process, writes out what is
// still pending, then ends by the same signal.
TEST(PosixEndRequestDeathTest, PendingOutputGoesOutThenTheSignalEndsTheProcess) {
  // Two real-time signals, not the last ones: qemu-user keeps those for itself, so the
  // suite would fail under emulation on other processors for the emulator's sake.
  for (int signal :
       {SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGPOLL,
        SIGPWR, SIGSTKFLT, SIGTRAP, SIGABRT, SIGSYS, SIGRTMIN, SIGRTMIN + 1}) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    pid_t child = fork();
    if (child == 0) {
      rlimit noCore = {0, 0};
      setrlimit(RLIMIT_CORE, &noCore);
      // Handled afresh, whatever the suite was started with (nohup ignores SIGHUP).
      ::signal(signal, SIG_DFL);
      StartUp({"allocate", NumberPlace, OwnAccount, ActivityWords});
      dup2(ends[1], STDOUT_FILENO);
      close(ends[0]);
      close(ends[1]);
      MarkOutputClosed();
      WriteText("Press ENTER to exit.\r\n");
      FlushOutput();  // a pipe: still pending
      raise(signal);
      _exit(99);
    }
    close(ends[1]);
    std::string output;
    char chunk[256];
    for (ssize_t n; (n = read(ends[0], chunk, sizeof chunk)) > 0;) output.append(chunk, n);
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << " " << status;
    EXPECT_EQ(output, "Press ENTER to exit.\r\n") << signal;
  }
}

// A signal ignored when the program starts is left ignored: it neither stops the run nor
// ends the process.
TEST(PosixEndRequestDeathTest, ASignalIgnoredAtTheStartStaysIgnored) {
  const int ignored[] = {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGRTMIN};
  pid_t child = fork();
  if (child == 0) {
    for (int signal : ignored) ::signal(signal, SIG_IGN);
    StartUp({"allocate", NumberPlace, OwnAccount, ActivityWords});
    for (int signal : ignored) {
      struct sigaction now = {};
      sigaction(signal, nullptr, &now);
      if ((now.sa_flags & SA_SIGINFO) != 0 || now.sa_handler != SIG_IGN) _exit(100 + signal);
      raise(signal);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a handler was installed over the ignore";
}

// A write past the file-size limit fails with EFBIG (27) instead of killing the process.
TEST(PosixFileSizeLimitDeathTest, AWriteBeyondTheLimitStopsWith27) {
  char path[] = "/tmp/platform_posix_test.XXXXXX";
  int file = mkstemp(path);
  ASSERT_GE(file, 0);
  pid_t child = fork();
  if (child == 0) {
    rlimit small = {100, 100};
    setrlimit(RLIMIT_FSIZE, &small);
    dup2(file, STDOUT_FILENO);
    MarkOutputClosed();
    gPendingIOCode = 0;
    WriteText(std::string(300, 'x'));
    CheckIOResult();
    _exit(99);
  }
  close(file);
  int status = 0;
  waitpid(child, &status, 0);
  unlink(path);
  EXPECT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 27);
}

}  // namespace
