#include "app/command_line.h"
#include "app/dialogue.h"
#include "app/options.h"
#include "runtime/fatal.h"

int main(int argc, char** argv) {
  StartUp();
  Options options = ReadOptions(argc, argv, OptionSet::kAllocate);
  if (!AnswerCommandLine(options)) RunDialogue(options);
  EndProgram();
}
