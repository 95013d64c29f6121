// The seam's own texts on both systems: the system's message for an error number.
#include "runtime/platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

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
