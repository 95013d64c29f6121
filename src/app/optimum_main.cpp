#include "app/optimum_run.h"
#include "app/stop_words.h"
#include "runtime/program/program.h"

int main() {
  StartUp({"allocate-optimum", NumberPlace, OwnAccount, ActivityWords});
  RunOptimum();
  EndProgram();
}
