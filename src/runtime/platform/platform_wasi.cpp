// The seam on WebAssembly as a WASI command (wasi-libc): descriptors, files and the clock
// as its host lends them (wasm/run.mjs under Node). There are no signals, so nothing ends
// the run from outside, and no traps: the arithmetic's faults are the software extended
// type's recorded ones. Error numbers and words are Linux's, so that every byte the
// program writes is the Linux build's.
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>
#include <wasi/api.h>

#include "runtime/platform/linux_errors.h"
#include "runtime/platform/platform.h"
#include "runtime/platform/platform_common.h"

namespace {

// A WASI error as Linux numbers it. A path beyond what the host lends the program
// (ENOTCAPABLE, which Linux has no name for) is one it may not open.
int LinuxCode(int wasiCode) {
  constexpr int kPermissionDenied = 13;  // EACCES
  int code = LinuxErrorNumber(wasiCode);
  return code != 0 ? code : kPermissionDenied;
}

int OpenForReading(const char* name, PlatformHandle* handle) {
  *handle = open(name, O_RDONLY);
  return *handle < 0 ? LinuxCode(errno) : 0;
}

int OpenForWriting(const char* name, PlatformHandle* handle) {
  *handle = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0666);
  return *handle < 0 ? LinuxCode(errno) : 0;
}

// Whether the host lent the program this descriptor, and what it is.
int DescriptorType(int descriptor, __wasi_filetype_t* type) {
  __wasi_fdstat_t status;
  __wasi_errno_t error = __wasi_fd_fdstat_get(static_cast<__wasi_fd_t>(descriptor), &status);
  if (error != 0) return LinuxCode(error);
  *type = status.fs_filetype;
  return 0;
}

int StandardInput(PlatformHandle* handle) {
  *handle = STDIN_FILENO;
  __wasi_filetype_t type;
  return DescriptorType(STDIN_FILENO, &type);
}

int StandardOutput(PlatformHandle* handle) {
  *handle = STDOUT_FILENO;
  return 0;
}

// A character device (a terminal, also /dev/null) counts as the console, as on Linux.
int IsConsole(PlatformHandle handle, bool* console) {
  __wasi_filetype_t type;
  if (int error = DescriptorType(handle, &type); error != 0) return error;
  *console = type == __WASI_FILETYPE_CHARACTER_DEVICE;
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
    // The host refuses to read a directory as it refuses a descriptor it never lent
    // (EBADF); Linux says what it is.
    __wasi_filetype_t type;
    if (DescriptorType(handle, &type) == 0 && type == __WASI_FILETYPE_DIRECTORY)
      return LinuxErrorNumber(EISDIR);
    return LinuxCode(errno);
  }
}

int Write(PlatformHandle handle, const void* data, uint32_t count) {
  const char* next = static_cast<const char*>(data);
  while (count > 0) {
    ssize_t written = write(handle, next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return LinuxCode(errno);
    }
    if (written == 0) return LinuxCode(EIO);  // no progress and no error: do not spin
    next += written;
    count -= static_cast<uint32_t>(written);
  }
  return 0;
}

int Close(PlatformHandle handle) { return close(handle) < 0 ? LinuxCode(errno) : 0; }

// The low 32 bits of the host's monotonic clock in nanoseconds, as on Linux (the runner
// under Node reads it with clock_gettime, so a clock preloaded into Node fixes the seed).
uint32_t SeedClock() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000000000u +
                               static_cast<uint64_t>(now.tv_nsec));
}

void Exit(int status) { _Exit(status); }

void WriteErrorStream(const char* text, size_t count) {
  while (count > 0) {
    ssize_t written = write(STDERR_FILENO, text, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text += written;
    count -= static_cast<size_t>(written);
  }
}

// The codes here are Linux's already.
void ErrorText(int code, char* text, size_t size) {
  CopyErrorText(LinuxErrorText(code), code, text, size);
}

// WASI has no working directory: the host lends the program its root, and the runner names
// the directory it was started in as PWD, as a shell does. Relative names (function.txt
// first of all) are taken from there, before main.
[[gnu::constructor]] void EnterWorkingDirectory() {
  const char* directory = getenv("PWD");
  if (directory != nullptr && *directory == '/') chdir(directory);
}

}  // namespace

const PlatformOperations kSystemPlatform = {
    OpenForReading, StandardInput, StandardOutput, IsConsole,        Read,      Write,
    Close,          SeedClock,     Exit,           WriteErrorStream, ErrorText, OpenForWriting};
PlatformOperations gPlatform = kSystemPlatform;

// Nothing to install: no signal reaches a WASI command, and WebAssembly neither traps on
// arithmetic nor lets a program catch its traps (a bad memory access or an exhausted stack
// ends the module in its host).
void PlatformInstallFaultHandling(const FaultResponse&) {}

// A WebAssembly program cannot read a code address: every report names the start of the
// module, as a native build names the start of its image.
uint32_t PlatformCodeAddress(const void*) { return 1; }

const char kPlatformLineEnd[] = "\n";
