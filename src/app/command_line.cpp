#include "app/command_line.h"

#include <string_view>

#include "app/write_line.h"
#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"

namespace {

void EndLine() {
  WriteLineEnd();
  CheckIOResult();
}

void WriteUsage(const ProgramDescription& program) {
  WriteText("Usage: ");
  WriteText(program.name);
  WriteText(" [--help | --version]");
  EndLine();
  for (std::string_view line : program.synopsis) WriteLine(line);
  for (std::string_view line : program.about) WriteLine(line);
  WriteLine("Options:");
  for (std::string_view line : program.options) WriteLine(line);
  WriteLine("A bad option ends the run with exit status 64.");
#ifdef ALLOCATE_TEXT_MANUALS
  WriteText("Manual: ");
  WriteText(program.name);
  WriteText(".txt, in the folder of ");
  WriteText(program.name);
  WriteText(".exe.");
#else
  WriteText("Manual page: man ");
  WriteText(program.name);
  WriteText(" (docs/");
  WriteText(program.name);
  WriteText(".1 in the sources).");
#endif
  EndLine();
}

}  // namespace

// --help wins over --version.
bool AnswerCommandLine(const ProgramDescription& program, const Options& options) {
  if (options.help) {
    WriteUsage(program);
    return true;
  }
  if (options.version) {
    WriteText(program.name);
    WriteText(" ");
    WriteText(ALLOCATE_VERSION);
    EndLine();
    return true;
  }
  return false;
}
