// The seam's system implementation on both systems: files, what counts as the console,
// and the system's message for an error number.
#include "runtime/platform/platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

TEST(PlatformFiles, AFileReadsWholeInPiecesAndIsNoConsole) {
  const std::string path = ALLOCATE_SOURCE_DIR "/examples/function.txt";
  std::stringstream expected;
  expected << std::ifstream(path, std::ios::binary).rdbuf();
  ASSERT_FALSE(expected.str().empty());

  PlatformHandle file = -1;
  ASSERT_EQ(kSystemPlatform.openForReading(path.c_str(), &file), 0);
  bool console = true;
  EXPECT_EQ(kSystemPlatform.isConsole(file, &console), 0);
  EXPECT_FALSE(console);
  std::string got;
  char buffer[128];
  uint32_t delivered = 0;
  do {
    ASSERT_EQ(kSystemPlatform.read(file, buffer, sizeof buffer, &delivered), 0);
    got.append(buffer, delivered);
  } while (delivered > 0);
  EXPECT_EQ(got, expected.str());
  EXPECT_EQ(kSystemPlatform.close(file), 0);
}

TEST(PlatformFiles, AMissingFileIsErrorTwoOnBothSystems) {
  PlatformHandle file = -1;
  EXPECT_EQ(kSystemPlatform.openForReading(ALLOCATE_SOURCE_DIR "/examples/no-such-file", &file), 2);
}

// The null device is a character device on both systems; only Linux takes every
// character device for the console (Windows asks GetConsoleMode too).
TEST(PlatformFiles, TheNullDevice) {
  PlatformHandle device = -1;
  ASSERT_EQ(kSystemPlatform.openForReading(kNullDevice, &device), 0);
  bool console = false;
  EXPECT_EQ(kSystemPlatform.isConsole(device, &console), 0);
#ifdef _WIN32
  EXPECT_FALSE(console);
#else
  EXPECT_TRUE(console);
#endif
  char buffer[8];
  uint32_t delivered = 99;
  EXPECT_EQ(kSystemPlatform.read(device, buffer, sizeof buffer, &delivered), 0);
  EXPECT_EQ(delivered, 0u);
  EXPECT_EQ(kSystemPlatform.close(device), 0);
}

std::string ErrorText(int code, size_t size) {
  std::string text(size + 1, '#');  // one guard byte beyond the size given
  PlatformErrorText(code, text.data(), size);
  EXPECT_EQ(text[size], '#') << "written beyond the size given";
  return std::string(text.c_str());
}

TEST(PlatformErrorText, TheSystemsMessageWithoutLineEndOrPeriod) {
  std::string missing = ErrorText(2, 256);
#ifdef _WIN32
  EXPECT_FALSE(missing.empty());
#else
  EXPECT_EQ(missing, "No such file or directory");
#endif
  ASSERT_FALSE(missing.empty());
  for (char last : {'.', '\r', '\n', ' '}) EXPECT_NE(missing.back(), last) << missing;
}

TEST(PlatformErrorText, CutToFitWithItsTerminatingZero) {
  std::string whole = ErrorText(2, 256);
  EXPECT_EQ(ErrorText(2, 8), whole.substr(0, 7));
  EXPECT_EQ(ErrorText(2, 1), "");
  char untouched = '#';
  PlatformErrorText(2, &untouched, 0);
  EXPECT_EQ(untouched, '#');
}

TEST(PlatformErrorText, ANumberTheSystemDoesNotKnow) {
  EXPECT_EQ(ErrorText(123456, 64), "Unknown error 123456");
  EXPECT_EQ(ErrorText(-7, 64), "Unknown error -7");
  EXPECT_EQ(ErrorText(123456, 12), "Unknown err");
}

}  // namespace
