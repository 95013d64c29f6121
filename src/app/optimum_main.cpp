#include "app/optimum_run.h"
#include "app/options.h"
#include "runtime/fatal.h"

int main(int argc, char** argv) {
  StartUp();
  RunOptimum(ReadOptions(argc, argv, OptionSet::kOptimum));
  EndProgram();
}
