#include "runtime/platform.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int OpenReadOnly(const char* path, int flags) { return ::open(path, flags); }
int FcntlNoArg(int fd, int command) { return ::fcntl(fd, command); }
}  // namespace

const PlatformCalls kRealPlatform = {::read, ::write, OpenReadOnly, ::close, ::fstat, FcntlNoArg};
PlatformCalls gPlatform = kRealPlatform;

int PlatformWriteAll(int fd, const void* data, size_t count) {
  const char* next = static_cast<const char*>(data);
  while (count > 0) {
    ssize_t written = gPlatform.write(fd, next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;  // no progress and no error: do not spin
    next += written;
    count -= static_cast<size_t>(written);
  }
  return 0;
}

int PlatformRead(int fd, void* buffer, size_t count, uint32_t* delivered) {
  *delivered = 0;
  for (;;) {
    ssize_t got = gPlatform.read(fd, buffer, count);
    if (got >= 0) {
      *delivered = static_cast<uint32_t>(got);
      return 0;
    }
    if (errno == EINTR) continue;
    if (errno == EPIPE) return 0;
    return errno;
  }
}

int PlatformOpenForReading(const char* name, int* fd) {
  *fd = gPlatform.open(name, O_RDONLY | O_CLOEXEC);
  return *fd < 0 ? errno : 0;
}

int PlatformClose(int fd) { return gPlatform.close(fd) < 0 ? errno : 0; }

int PlatformStandardOutputIsConsole(bool* console) {
  struct stat info;
  if (gPlatform.fstat(STDOUT_FILENO, &info) < 0) return errno;
  *console = S_ISCHR(info.st_mode);
  return 0;
}

int PlatformStandardInputValid() {
  return gPlatform.fcntl(STDIN_FILENO, F_GETFD) < 0 ? errno : 0;
}

void PlatformWriteErrorStream(const char* text, size_t count) {
  PlatformWriteAll(STDERR_FILENO, text, count);
}

// The GNU strerror_r: it gives either its own constant text or one written into text.
void PlatformErrorText(int code, char* text, size_t size) {
  if (size == 0) return;
  const char* message = strerror_r(code, text, size);
  if (message == text) return;
  size_t i = 0;
  for (; i + 1 < size && message[i] != '\0'; ++i) text[i] = message[i];
  text[i] = '\0';
}

void PlatformExit(int status) { _exit(status); }
