#include "runtime/stream/text_output.h"

#include <cstring>

#include "runtime/core/io_status.h"
#include "runtime/number/format.h"
#include "runtime/platform/error_codes.h"
#include "runtime/platform/platform.h"

TextOutput gTextOutput;

namespace {

constexpr char kBlanks[] = "                                                                ";
constexpr int32_t kBlankRun = sizeof kBlanks - 1;
static_assert(kBlankRun == 64);

// Opens standard output on the first write. A stream that cannot be opened leaves
// code 105 pending and stays closed, so the next write tries again.
bool EnsureOpen() {
  if (gTextOutput.open) return true;
  PlatformHandle handle = -1;
  bool console = false;
  if (gPlatform.standardOutput(&handle) != 0 || gPlatform.isConsole(handle, &console) != 0) {
    NoteIOFailure(IOStream::kStandardOutput, nullptr, IOOperation::kWrite, kNotOpenForWriting,
                  false);
    return false;
  }
  gTextOutput.handle = handle;
  gTextOutput.flushEachStatement = console;
  gTextOutput.position = 0;
  gTextOutput.open = true;
  return true;
}

// Bytes that fill the buffer go out at once. After a failed write-out the rest of
// these bytes is dropped.
void AppendBytes(const char* bytes, size_t count) {
  for (;;) {
    uint32_t position = gTextOutput.position;
    size_t room = kTextBufferSize - position;
    if (room > count) {
      std::memcpy(gTextOutput.buffer.Range(position, static_cast<int>(count)), bytes, count);
      gTextOutput.position = position + static_cast<uint32_t>(count);
      return;
    }
    std::memcpy(gTextOutput.buffer.Range(position, static_cast<int>(room)), bytes, room);
    gTextOutput.position = kTextBufferSize;
    if (WriteOutBuffer() != 0) return;
    bytes += room;
    count -= room;
  }
}

// Pieces of at most 64 from one constant run; a pending error ends the fill after a
// full piece, so a huge width on a failing stream does not spin.
void AppendBlanks(int64_t count) {
  while (count > 0) {
    int32_t piece = count < kBlankRun ? static_cast<int32_t>(count) : kBlankRun;
    AppendBytes(kBlanks, static_cast<size_t>(piece));
    count -= piece;
    if (piece == kBlankRun && gPendingIOCode != 0) return;
  }
}

void AppendPadded(std::string_view text, int32_t width) {
  AppendBlanks(static_cast<int64_t>(width) - static_cast<int64_t>(text.size()));
  AppendBytes(text.data(), text.size());
}

}  // namespace

void MarkOutputClosed() { gTextOutput = TextOutput{}; }

void WriteText(std::string_view text, int32_t width) {
  if (!EnsureOpen()) return;
  AppendPadded(text, width);
}

void WriteInteger(int32_t value, int32_t width) {
  if (!EnsureOpen()) return;
  NumberText text = FormatInteger(value);
  AppendPadded(text.View(), width);
}

void WriteChar(char c) {
  if (!EnsureOpen()) return;
  if (gTextOutput.position == kTextBufferSize && WriteOutBuffer() != 0) return;
  gTextOutput.buffer[static_cast<int>(gTextOutput.position)] = static_cast<uint8_t>(c);
  ++gTextOutput.position;
}

void WriteReal(Extended value, int32_t width, int32_t decimals) {
  if (!EnsureOpen()) return;
  NumberText text = FormatReal(value, width, decimals);
  AppendPadded(text.View(), width);
}

void WriteLineEnd() {
  if (EnsureOpen()) AppendBytes("\r\n", 2);
  FlushOutput();
}

void WriteSystemLineEnd() {
  WriteText(kPlatformLineEnd);
  FlushOutput();
}

void FlushOutput() {
  if (gTextOutput.open && gTextOutput.flushEachStatement) WriteOutBuffer();
}

int32_t WriteOutBuffer() {
  uint32_t count = gTextOutput.position;
  if (count == 0) return 0;
  // Emptied before the write: a signal that ends the run meanwhile must not write the
  // same bytes a second time.
  gTextOutput.position = 0;
  int code = gPlatform.write(gTextOutput.handle,
                             gTextOutput.buffer.Range(0, static_cast<int>(count)), count);
  if (code != 0) NoteIOFailure(IOStream::kStandardOutput, nullptr, IOOperation::kWrite, code, true);
  return code;
}

void WritePendingOutput() {
  if (gTextOutput.open && gTextOutput.position > 0) WriteOutBuffer();
}

int32_t CloseOutput() {
  if (!gTextOutput.open) return 0;
  int32_t code = WriteOutBuffer();
  gTextOutput.open = false;
  return code;
}
