#include "app/optimum_run.h"
#include "runtime/core/stop.h"

int main() {
  StartUp();
  RunOptimum();
  EndProgram();
}
