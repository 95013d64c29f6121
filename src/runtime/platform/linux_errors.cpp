#include "runtime/platform/linux_errors.h"

#include <errno.h>

namespace {

struct LinuxError {
  int systemCode;  // the name as this system numbers it
  int linuxCode;
  const char* text;
};

// Every name WASI defines but its own ENOTCAPABLE, in Linux's order.
constexpr LinuxError kLinuxErrors[] = {
    {EPERM, 1, "Operation not permitted"},
    {ENOENT, 2, "No such file or directory"},
    {ESRCH, 3, "No such process"},
    {EINTR, 4, "Interrupted system call"},
    {EIO, 5, "Input/output error"},
    {ENXIO, 6, "No such device or address"},
    {E2BIG, 7, "Argument list too long"},
    {ENOEXEC, 8, "Exec format error"},
    {EBADF, 9, "Bad file descriptor"},
    {ECHILD, 10, "No child processes"},
    {EAGAIN, 11, "Resource temporarily unavailable"},
    {ENOMEM, 12, "Cannot allocate memory"},
    {EACCES, 13, "Permission denied"},
    {EFAULT, 14, "Bad address"},
    {EBUSY, 16, "Device or resource busy"},
    {EEXIST, 17, "File exists"},
    {EXDEV, 18, "Invalid cross-device link"},
    {ENODEV, 19, "No such device"},
    {ENOTDIR, 20, "Not a directory"},
    {EISDIR, 21, "Is a directory"},
    {EINVAL, 22, "Invalid argument"},
    {ENFILE, 23, "Too many open files in system"},
    {EMFILE, 24, "Too many open files"},
    {ENOTTY, 25, "Inappropriate ioctl for device"},
    {ETXTBSY, 26, "Text file busy"},
    {EFBIG, 27, "File too large"},
    {ENOSPC, 28, "No space left on device"},
    {ESPIPE, 29, "Illegal seek"},
    {EROFS, 30, "Read-only file system"},
    {EMLINK, 31, "Too many links"},
    {EPIPE, 32, "Broken pipe"},
    {EDOM, 33, "Numerical argument out of domain"},
    {ERANGE, 34, "Numerical result out of range"},
    {EDEADLK, 35, "Resource deadlock avoided"},
    {ENAMETOOLONG, 36, "File name too long"},
    {ENOLCK, 37, "No locks available"},
    {ENOSYS, 38, "Function not implemented"},
    {ENOTEMPTY, 39, "Directory not empty"},
    {ELOOP, 40, "Too many levels of symbolic links"},
    {ENOMSG, 42, "No message of desired type"},
    {EIDRM, 43, "Identifier removed"},
    {ENOLINK, 67, "Link has been severed"},
    {EPROTO, 71, "Protocol error"},
    {EMULTIHOP, 72, "Multihop attempted"},
    {EBADMSG, 74, "Bad message"},
    {EOVERFLOW, 75, "Value too large for defined data type"},
    {EILSEQ, 84, "Invalid or incomplete multibyte or wide character"},
    {ENOTSOCK, 88, "Socket operation on non-socket"},
    {EDESTADDRREQ, 89, "Destination address required"},
    {EMSGSIZE, 90, "Message too long"},
    {EPROTOTYPE, 91, "Protocol wrong type for socket"},
    {ENOPROTOOPT, 92, "Protocol not available"},
    {EPROTONOSUPPORT, 93, "Protocol not supported"},
    {ENOTSUP, 95, "Operation not supported"},
    {EAFNOSUPPORT, 97, "Address family not supported by protocol"},
    {EADDRINUSE, 98, "Address already in use"},
    {EADDRNOTAVAIL, 99, "Cannot assign requested address"},
    {ENETDOWN, 100, "Network is down"},
    {ENETUNREACH, 101, "Network is unreachable"},
    {ENETRESET, 102, "Network dropped connection on reset"},
    {ECONNABORTED, 103, "Software caused connection abort"},
    {ECONNRESET, 104, "Connection reset by peer"},
    {ENOBUFS, 105, "No buffer space available"},
    {EISCONN, 106, "Transport endpoint is already connected"},
    {ENOTCONN, 107, "Transport endpoint is not connected"},
    {ETIMEDOUT, 110, "Connection timed out"},
    {ECONNREFUSED, 111, "Connection refused"},
    {EHOSTUNREACH, 113, "No route to host"},
    {EALREADY, 114, "Operation already in progress"},
    {EINPROGRESS, 115, "Operation now in progress"},
    {ESTALE, 116, "Stale file handle"},
    {EDQUOT, 122, "Disk quota exceeded"},
    {ECANCELED, 125, "Operation canceled"},
    {EOWNERDEAD, 130, "Owner died"},
    {ENOTRECOVERABLE, 131, "State not recoverable"},
};

}  // namespace

int LinuxErrorNumber(int systemCode) {
  for (const LinuxError& error : kLinuxErrors)
    if (error.systemCode == systemCode) return error.linuxCode;
  return 0;
}

const char* LinuxErrorText(int linuxCode) {
  for (const LinuxError& error : kLinuxErrors)
    if (error.linuxCode == linuxCode) return error.text;
  return nullptr;
}
