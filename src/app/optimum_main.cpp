#include "app/command_line.h"
#include "app/optimum_run.h"
#include "app/options.h"
#include "app/stop_words.h"
#include "runtime/program/program.h"

int main(int argc, char** argv) {
  StartUp({"allocate-optimum", NumberPlace, OwnAccount, ActivityWords});
  Options options = ReadOptions(argc, argv, OptionSet::kOptimum);
  if (!AnswerOptimumCommandLine(options)) RunOptimum(options);
  EndProgram();
}
