#include "runtime/stream/error_line.h"

#include "runtime/number/fixed_text.h"
#include "runtime/platform/platform.h"

void WriteErrorLine(std::string_view text) {
  WordsLine line(kLineEndRoom);
  line.Add(text);
  line.Close(kPlatformLineEnd);
  PlatformWriteErrorStream(line.View().data(), line.View().size());
}

void WriteErrorText(std::string_view text) { PlatformWriteErrorStream(text.data(), text.size()); }
