#include "app/command_line.h"
#include "app/dialogue.h"
#include "app/stop_words.h"
#include "runtime/program/program.h"

int main(int argc, char** argv) {
  StartUp({"allocate", NumberPlace, OwnAccount, ActivityWords});
  if (!AnswerCommandLine(argc, argv)) RunDialogue();
  EndProgram();
}
