#include "app/command_line.h"
#include "app/dialogue.h"
#include "app/options.h"
#include "app/stop_words.h"
#include "runtime/program/program.h"

int main(int argc, char** argv) {
  StartUp({"allocate", NumberPlace, OwnAccount, ActivityWords});
  Options options = ReadOptions(argc, argv, OptionSet::kAllocate);
  if (!AnswerCommandLine(options)) RunDialogue(options);
  EndProgram();
}
