#include "app/command_line.h"
#include "app/optimum_run.h"
#include "runtime/fatal.h"

int main(int argc, char** argv) {
  StartUp();
  if (!AnswerOptimumCommandLine(argc, argv)) RunOptimum();
  EndProgram();
}
