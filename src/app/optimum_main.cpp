#include "app/command_line.h"
#include "app/optimum_run.h"
#include "app/stop_words.h"
#include "runtime/program/program.h"

int main(int argc, char** argv) {
  StartUp({"allocate-optimum", NumberPlace, OwnAccount, ActivityWords});
  if (!AnswerOptimumCommandLine(argc, argv)) RunOptimum();
  EndProgram();
}
