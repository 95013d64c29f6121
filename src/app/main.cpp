#include "app/command_line.h"
#include "app/dialogue.h"
#include "runtime/core/stop.h"

int main(int argc, char** argv) {
  StartUp();
  if (!AnswerCommandLine(argc, argv)) RunDialogue();
  EndProgram();
}
