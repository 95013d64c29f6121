#include "app/optimum_run.h"
#include "runtime/fatal.h"

int main() {
  StartUp();
  RunOptimum();
  EndProgram();
}
