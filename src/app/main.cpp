#include "app/command_line.h"
#include "app/dialogue.h"
#include "app/options.h"
#include "app/program_description.h"
#include "app/stop_words.h"
#include "runtime/program/program.h"

int main(int argc, char** argv) {
  const ProgramDescription& program = kAllocate;
  StartUp({program.name, NumberPlace, OwnAccount, ActivityWords, MissingTableAdvice});
  Options options = ReadOptions(argc, argv, program);
  if (!AnswerCommandLine(program, options)) RunDialogue(program, options);
  EndProgram();
}
