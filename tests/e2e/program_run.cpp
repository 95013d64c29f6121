#include "program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace e2e {

namespace {

// The program under test and what runs it: the Linux build itself, or the programs named
// in the environment through an emulator.
struct ProgramUnderTest {
  const char* program;
  const char* emulator = nullptr;
};

const ProgramUnderTest& TheProgram(Program which = Program::kAllocate) {
  static const std::array<ProgramUnderTest, 2> chosen = [] {
    std::array<ProgramUnderTest, 2> built = {{{ALLOCATE_BINARY}, {OPTIMUM_BINARY}}};
    const char* emulator = getenv("ALLOCATE_EMULATOR");
    const char* programs[2] = {getenv("ALLOCATE_PROGRAM"), getenv("OPTIMUM_PROGRAM")};
    if (emulator == nullptr || *emulator == '\0') return built;
    for (int i = 0; i < 2; ++i) {
      if (programs[i] != nullptr && *programs[i] != '\0') built[i] = {programs[i], emulator};
    }
    return built;
  }();
  return chosen[static_cast<size_t>(which)];
}

int64_t NowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

// Strings as execve takes them: an array of pointers ending in a null pointer.
class StringArray {
 public:
  explicit StringArray(std::vector<std::string> strings) : strings_(std::move(strings)) {
    for (std::string& s : strings_) pointers_.push_back(s.data());
    pointers_.push_back(nullptr);
  }
  StringArray(const StringArray&) = delete;  // the pointers point into strings_
  char** Get() { return pointers_.data(); }

 private:
  std::vector<std::string> strings_;
  std::vector<char*> pointers_;
};

// The environment of the child: ours, with the clock library preloaded when the clock
// is fixed, and without any variable of that library otherwise.
StringArray ChildEnvironment(std::optional<uint64_t> clock) {
  TheProgram();  // chosen here, before any fork
  std::vector<std::string> strings;
  std::string asanOptions;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string_view text = *entry;
    if (text.starts_with("LD_PRELOAD=") || text.starts_with("FIXED_MONOTONIC_NS=")) continue;
    if (text.starts_with("ASAN_OPTIONS=")) {
      asanOptions = text;
      continue;
    }
    strings.emplace_back(text);
  }
  if (clock) {
    // Wine's performance counter is the monotonic clock in units of 100 ns.
    uint64_t nanoseconds = UnderWine() ? *clock * 100 : *clock;
    strings.push_back("LD_PRELOAD="s + FIXED_CLOCK_LIBRARY);
    strings.push_back("FIXED_MONOTONIC_NS=" + std::to_string(nanoseconds));
    // A sanitized build wants its runtime first; the preloaded clock comes before it.
    asanOptions += asanOptions.empty() ? "ASAN_OPTIONS=" : ":";
    asanOptions += "verify_asan_link_order=0";
  }
  if (!asanOptions.empty()) strings.push_back(asanOptions);
  return StringArray(std::move(strings));
}

// The emulator if any, the program, then the arguments of the setup.
StringArray ChildArguments(Program which, const std::vector<std::string>& arguments) {
  const ProgramUnderTest& p = TheProgram(which);
  std::vector<std::string> strings;
  if (p.emulator != nullptr) strings.push_back(p.emulator);
  strings.push_back(p.program);
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  return StringArray(std::move(strings));
}

// The signals a run starts with ignored, as a set a child can use after fork.
sigset_t SignalSet(const std::vector<int>& signals) {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : signals) sigaddset(&set, signal);
  return set;
}

// In the child, after fork: what a shell leaves a command (every signal at its default,
// whatever the suite itself was started with, but those the setup ignores; nothing
// blocked), then the program itself. Only async-signal-safe calls from here on.
[[noreturn]] void ExecProgram(const char* dir, char** env, char** argv,
                              const sigset_t& ignored = SignalSet({})) {
  struct sigaction defaults = {};
  defaults.sa_handler = SIG_DFL;
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  for (int signal = 1; signal < NSIG; ++signal)
    sigaction(signal, sigismember(&ignored, signal) ? &ignore : &defaults, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  rlimit noCore = {0, 0};  // SIGQUIT would leave a core file in the working directory
  setrlimit(RLIMIT_CORE, &noCore);
  if (chdir(dir) != 0) _exit(126);
  execve(argv[0], argv, env);
  _exit(127);
}

// Writes until the pipe takes no more, then leaves it blocking again.
bool FillPipe(int fd) {
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  char chunk[4096];
  memset(chunk, '.', sizeof chunk);
  while (write(fd, chunk, sizeof chunk) > 0) {
  }
  // The last bytes of room: less than a chunk.
  while (write(fd, chunk, 1) > 0) {
  }
  bool full = errno == EAGAIN;
  return fcntl(fd, F_SETFL, flags) == 0 && full;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t sent = write(fd, bytes.data(), bytes.size());
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

}  // namespace

// The Windows build under Wine. Its codes are the system's error numbers, its clock
// counts in 100 ns, and Wine's console is no terminal: see the suites for what differs.
bool UnderWine() {
  const char* emulator = TheProgram().emulator;
  return emulator != nullptr && std::string_view(emulator).ends_with("wine");
}

// A WebAssembly build: a .wasm module under wasm/run.mjs.
bool UnderWasm() { return std::string_view(TheProgram().program).ends_with(".wasm"); }

// The system's own words for an error, as the line on standard error quotes them.
std::string SystemText(const char* onLinux, const char* onWindows) {
  return UnderWine() ? onWindows : onLinux;
}

// A line on standard error as the system's tools end it.
std::string ErrorLine(std::string_view text) {
  return std::string(text) + (UnderWine() ? "\r\n" : "\n");
}

void SleepMs(int ms) {
  timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}

bool Workdir::WriteFunction(std::string_view bytes) const {
  int fd = open(FunctionPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool whole = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return close(fd) == 0 && whole;
}

bool Workdir::MakeFunctionDirectory() const { return mkdir(FunctionPath().c_str(), 0755) == 0; }

Child Child::Piped(const Workdir& dir, const RunSetup& setup) {
  Child child;
  child.deadline_ = NowMs() + setup.timeoutMs;
  StringArray env = ChildEnvironment(setup.clock);
  StringArray args = ChildArguments(setup.program, setup.arguments);
  int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
  if (pipe2(err, O_CLOEXEC) != 0) return child;
  if (setup.in == Stdin::kPipe && pipe2(in, O_CLOEXEC) != 0) return child;
  if (setup.in == Stdin::kFile) {
    child.inputFile_ = memfd_create("input", MFD_CLOEXEC);
    if (child.inputFile_ < 0 || !WriteAll(child.inputFile_, setup.input) ||
        lseek(child.inputFile_, 0, SEEK_SET) != 0)
      return child;
  }
  bool outPipe = setup.out == Stdout::kPipe || setup.out == Stdout::kPipeClosedByReader ||
                 setup.out == Stdout::kPipeFull;
  if (outPipe && pipe2(out, O_CLOEXEC) != 0) return child;
  if (setup.out == Stdout::kPipeFull && !FillPipe(out[1])) return child;
  const sigset_t ignored = SignalSet(setup.ignoredSignals);

  child.pid_ = fork();
  if (child.pid_ == 0) {
    switch (setup.in) {
      case Stdin::kPipe:
        dup2(in[0], 0);
        break;
      case Stdin::kClosed:
        close(0);
        break;
      case Stdin::kDevNull:
        dup2(open("/dev/null", O_RDONLY | O_CLOEXEC), 0);
        break;
      case Stdin::kFile:
        dup2(child.inputFile_, 0);
        break;
    }
    switch (setup.out) {
      case Stdout::kPipe:
      case Stdout::kPipeClosedByReader:
      case Stdout::kPipeFull:
        dup2(out[1], 1);
        break;
      case Stdout::kClosed:
        close(1);
        break;
      case Stdout::kDevFull:
        dup2(open("/dev/full", O_WRONLY | O_CLOEXEC), 1);
        break;
    }
    dup2(err[1], 2);
    ExecProgram(dir.Path().c_str(), env.Get(), args.Get(), ignored);
  }
  close(err[1]);
  child.errFd_ = err[0];
  if (in[0] >= 0) close(in[0]);
  child.inFd_ = in[1];
  if (out[1] >= 0) close(out[1]);
  if (setup.out == Stdout::kPipeClosedByReader) {
    close(out[0]);
  } else {
    child.outFd_ = out[0];
  }
  if (setup.in == Stdin::kPipe) child.Send(setup.input);
  if (!setup.keepInputOpen) child.CloseInput();
  return child;
}

Child Child::InTerminal(const Workdir& dir, const RunSetup& setup, bool raw) {
  Child child;
  child.deadline_ = NowMs() + setup.timeoutMs;
  child.terminal_ = true;
  StringArray env = ChildEnvironment(setup.clock);
  StringArray args = ChildArguments(setup.program, setup.arguments);
  termios settings = {};
  settings.c_iflag = ICRNL;  // ENTER sends CR; the program reads LF
  settings.c_oflag = 0;      // no output processing: CR LF stays CR LF
  settings.c_cflag = CS8 | CREAD;
  settings.c_lflag = ICANON;  // line by line, no echo
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VEOF] = 4;
  settings.c_cc[VERASE] = 0177;
  settings.c_cc[VKILL] = 025;
  cfsetispeed(&settings, B38400);
  cfsetospeed(&settings, B38400);
  winsize size = {24, 80, 0, 0};
  int master = -1;
  child.pid_ = forkpty(&master, nullptr, raw ? &settings : nullptr, &size);
  if (child.pid_ == 0) ExecProgram(dir.Path().c_str(), env.Get(), args.Get());
  if (child.pid_ > 0) fcntl(master, F_SETFD, FD_CLOEXEC);
  child.outFd_ = master;
  child.inFd_ = master;
  child.Send(setup.input);
  return child;
}

Child& Child::operator=(Child&& other) noexcept {
  std::swap(pid_, other.pid_);
  std::swap(inFd_, other.inFd_);
  std::swap(outFd_, other.outFd_);
  std::swap(errFd_, other.errFd_);
  std::swap(outDone_, other.outDone_);
  std::swap(errDone_, other.errDone_);
  std::swap(terminal_, other.terminal_);
  std::swap(deadline_, other.deadline_);
  std::swap(outcome_, other.outcome_);
  std::swap(reaped_, other.reaped_);
  std::swap(inputFile_, other.inputFile_);
  return *this;
}

Child::~Child() {
  if (pid_ > 0 && !reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (inFd_ >= 0 && inFd_ != outFd_) close(inFd_);
  if (outFd_ >= 0) close(outFd_);
  if (errFd_ >= 0) close(errFd_);
  if (inputFile_ >= 0) close(inputFile_);
}

void Child::Send(std::string_view bytes) {
  if (inFd_ >= 0) WriteAll(inFd_, bytes);
}

void Child::Signal(int signal) {
  if (pid_ > 0 && !reaped_) kill(pid_, signal);
}

void Child::CloseInput() {
  if (inFd_ >= 0 && inFd_ != outFd_) close(inFd_);
  if (inFd_ != outFd_) inFd_ = -1;
}

bool Child::ReadUntil(std::string_view text, int ms) {
  int64_t stop = std::min(NowMs() + ms, deadline_);
  for (;;) {
    if (!text.empty() && outcome_.out.ends_with(text)) return true;
    int64_t left = stop - NowMs();
    if (left <= 0 || !Collect(static_cast<int>(left)))
      return !text.empty() && outcome_.out.ends_with(text);
  }
}

bool Child::ReadAtLeast(size_t size, int ms) {
  int64_t stop = std::min(NowMs() + ms, deadline_);
  while (outcome_.out.size() < size) {
    int64_t left = stop - NowMs();
    if (left <= 0 || !Collect(static_cast<int>(left))) break;
  }
  return outcome_.out.size() >= size;
}

bool Child::EndsWithin(int ms) {
  int64_t stop = std::min(NowMs() + ms, deadline_);
  for (;;) {
    if (Reap(false)) return true;
    if (NowMs() >= stop) return false;
    SleepMs(5);
  }
}

Outcome Child::Finish() {
  if (!terminal_) CloseInput();
  while (NowMs() < deadline_ && Collect(static_cast<int>(deadline_ - NowMs()))) {
  }
  if (!EndsWithin(static_cast<int>(std::max<int64_t>(0, deadline_ - NowMs())))) {
    outcome_.timedOut = true;
    kill(pid_, SIGKILL);
    Reap(true);
  }
  if (terminal_) Drain();
  if (inputFile_ >= 0) outcome_.inputOffset = lseek(inputFile_, 0, SEEK_CUR);
  return outcome_;
}

bool Child::Collect(int ms) {
  pollfd fds[2];
  int n = 0;
  if (outFd_ >= 0 && !outDone_) fds[n++] = {outFd_, POLLIN, 0};
  if (errFd_ >= 0 && !errDone_) fds[n++] = {errFd_, POLLIN, 0};
  if (n == 0) return false;
  int ready = poll(fds, static_cast<nfds_t>(n), ms);
  if (ready < 0 && errno == EINTR) return true;
  if (ready <= 0) return false;
  for (int i = 0; i < n; ++i) {
    if (fds[i].revents == 0) continue;
    bool isOut = fds[i].fd == outFd_;
    char chunk[4096];
    ssize_t got = read(fds[i].fd, chunk, sizeof chunk);
    if (got > 0) {
      (isOut ? outcome_.out : outcome_.err).append(chunk, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {  // end of pipe; EIO once a terminal hangs up
      (isOut ? outDone_ : errDone_) = true;
    }
  }
  return true;
}

void Child::Drain() {
  while (Collect(50)) {
  }
}

bool Child::Reap(bool block) {
  if (pid_ <= 0) return true;
  if (reaped_) return true;
  int status = 0;
  pid_t done = waitpid(pid_, &status, block ? 0 : WNOHANG);
  if (done != pid_) return false;
  reaped_ = true;
  if (WIFEXITED(status)) outcome_.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome_.signal = WTERMSIG(status);
  return true;
}

Outcome RunProgram(const Workdir& dir, const RunSetup& setup) {
  Child child = Child::Piped(dir, setup);
  if (!child.Started()) return {};
  return child.Finish();
}

Outcome RunOnTable(std::string_view table, const RunSetup& setup) {
  Workdir dir;
  EXPECT_TRUE(dir.WriteFunction(table)) << dir.FunctionPath();
  return RunProgram(dir, setup);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

// Exactly `before`, then the report line of a stop with this code, then exactly `after`
// (under a terminal, the line standard error shows there).
::testing::AssertionResult EndsWithReport(const std::string& out, std::string_view before, int code,
                                          std::string_view after) {
  std::string_view rest = out;
  std::string fault;
  if (!rest.starts_with(before) || !rest.ends_with(after) ||
      rest.size() < before.size() + after.size())
    fault = "not the expected output around the report";
  else
    fault = ReportLineFault(rest.substr(before.size(), rest.size() - before.size() - after.size()),
                            code);
  if (!fault.empty())
    return ::testing::AssertionFailure() << fault << ": " << ::testing::PrintToString(out);
  return ::testing::AssertionSuccess();
}

}  // namespace e2e
