// The table of Linux's error numbers and words the WASI build reports, checked on Linux
// itself: each name must be Linux's own number there, and each text glibc's own words.
#include "runtime/platform/linux_errors.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

// Beyond Linux's highest error number (133, EHWPOISON).
constexpr int kBeyondLinux = 200;

TEST(LinuxErrors, EachNameIsLinuxsOwnNumber) {
  int named = 0;
  for (int code = -1; code < kBeyondLinux; ++code) {
    int number = LinuxErrorNumber(code);
    if (number == 0) continue;
    EXPECT_EQ(number, code) << "row of code " << code;
    ++named;
  }
  EXPECT_EQ(named, 75);  // every name WASI has but its own ENOTCAPABLE
}

TEST(LinuxErrors, EachTextIsGlibcsWords) {
  for (int code = -1; code < kBeyondLinux; ++code) {
    const char* text = LinuxErrorText(code);
    SCOPED_TRACE(code);
    EXPECT_EQ(text != nullptr, LinuxErrorNumber(code) != 0);
    if (text != nullptr) {
      EXPECT_EQ(std::string(text), strerrordesc_np(code));
    }
  }
}

// What reading a table and writing a report can meet, and so what the WASI build must be
// able to say in Linux's words.
TEST(LinuxErrors, TheProgramsOwnFailuresAreAllThere) {
  for (int code : {ENOENT, EACCES, EISDIR, ENOTDIR, ENAMETOOLONG, ELOOP, EIO, EBADF, ENOSPC, EDQUOT,
                   EFBIG, EPIPE, EINTR, EAGAIN, ENXIO, ENODEV, ENOMEM, EROFS}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(LinuxErrorNumber(code), code);
    EXPECT_NE(LinuxErrorText(code), nullptr);
  }
}

}  // namespace
