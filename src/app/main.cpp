#include "runtime/fatal.h"

int main() {
  StartUp();
  EndProgram();
}
