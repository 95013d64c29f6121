#pragma once
// Linux's error numbers and words (glibc's strerrordesc_np) by the names of <errno.h>, for
// a system whose own numbers differ (WASI numbers ENOENT 44): the program reports Linux's
// number and words there, so that its output is the Linux build's byte for byte.
//
//   LinuxErrorNumber(ENOENT)  -> 2 on every system (0 for a code Linux has no name for)
//   LinuxErrorText(2)         -> "No such file or directory"
//   LinuxErrorText(41)        -> nullptr (no name in the table)

// The names are the POSIX ones both Linux and WASI have.
int LinuxErrorNumber(int systemCode);

const char* LinuxErrorText(int linuxCode);
