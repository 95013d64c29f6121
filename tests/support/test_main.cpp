#include <gtest/gtest.h>

#include "runtime/core/stop.h"

// Tests run under the program's own start-up: the same floating-point setting and the
// same fatal-error handlers as the shipped program.
int main(int argc, char** argv) {
  StartUp();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
