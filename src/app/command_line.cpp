#include "app/command_line.h"

#include <string_view>

#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"

namespace {

// --help and --version are text for the system's tools (a shell's comparison, grep): their
// lines end as the system's own do, unlike the report's CR LF.
void EndLine() {
  WriteSystemLineEnd();
  CheckIOResult();
}

void Line(std::string_view text) {
  WriteText(text);
  EndLine();
}

void WriteUsage(const ProgramDescription& program) {
  WriteText("Usage: ");
  WriteText(program.name);
  WriteText(" [--help | --version]");
  EndLine();
  for (std::string_view line : program.synopsis) Line(line);
  for (std::string_view line : program.about) Line(line);
  Line("Options:");
  for (std::string_view line : program.options) Line(line);
  Line("A bad option ends the run with exit status 64.");
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
