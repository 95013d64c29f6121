#include "app/dialogue.h"
#include "runtime/fatal.h"

int main() {
  StartUp();
  RunDialogue();
  EndProgram();
}
