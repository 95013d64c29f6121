#include <gtest/gtest.h>

#include "app/program_description.h"
#include "app/stop_words.h"
#include "runtime/program/program.h"

// Tests run under the program's own start-up: the same floating-point setting and the
// same fatal-error handlers as the shipped program.
int main(int argc, char** argv) {
  StartUp({kAllocate.name, NumberPlace, OwnAccount, ActivityWords, MissingTableAdvice});
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
