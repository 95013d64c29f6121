#include "app/write_line.h"

#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"

void WriteLine(std::string_view text) {
  WriteText(text);
  WriteLineEnd();
  CheckIOResult();
}
