#pragma once
// The thin layer between the runtime and POSIX. Every system call the runtime makes
// goes through gPlatform, so tests can inject EINTR, short writes or failures; the
// program itself always uses the real calls. All functions are async-signal-safe.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

struct stat;

struct PlatformCalls {
  ssize_t (*read)(int fd, void* buffer, size_t count);
  ssize_t (*write)(int fd, const void* data, size_t count);
  int (*open)(const char* path, int flags);
  int (*close)(int fd);
  int (*fstat)(int fd, struct stat* info);
  int (*fcntl)(int fd, int command);
};

extern PlatformCalls gPlatform;
extern const PlatformCalls kRealPlatform;

// Each of these returns 0 on success or the errno value of the failure.

// Writes every byte, retrying after EINTR and after a partial write.
int PlatformWriteAll(int fd, const void* data, size_t count);

// One read of at most count bytes, retried after EINTR; *delivered is 0 at the end of
// the data. A broken pipe (EPIPE) counts as the end, not as a failure.
int PlatformRead(int fd, void* buffer, size_t count, uint32_t* delivered);

// Opens an existing file for reading only (never creates it).
int PlatformOpenForReading(const char* name, int* fd);

int PlatformClose(int fd);

// Whether standard output is a character device (the console) rather than a file,
// pipe or socket.
int PlatformStandardOutputIsConsole(bool* console);

// Whether file descriptor 0 is open at all.
int PlatformStandardInputValid();

// Writes to standard error; a failure is ignored.
void PlatformWriteErrorStream(const char* text, size_t count);

// The system's own message for error number code, NUL-terminated, cut to fit size bytes
// (strerror_r / strerrordesc_np on Linux, FormatMessageA on Windows without its trailing
// line end and period).
void PlatformErrorText(int code, char* text, size_t size);

[[noreturn]] void PlatformExit(int status);
