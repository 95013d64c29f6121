#include "runtime/core/io_status.h"

#include "runtime/core/stop.h"
#include "runtime/platform/platform.h"

int32_t gPendingIOCode = 0;
IORecord gIORecord;

namespace {

void CopyName(const char* name) {
  int i = 0;
  for (; i + 1 < gIORecord.fileName.kSize && name[i] != '\0'; ++i) gIORecord.fileName[i] = name[i];
  gIORecord.fileName[i] = '\0';
}

}  // namespace

void NoteToken(std::string_view token, int area, TokenKind kind) {
  int shown = token.size() < kShownTokenBytes ? static_cast<int>(token.size()) : kShownTokenBytes;
  for (int i = 0; i < shown; ++i) gIORecord.token[i] = token[static_cast<size_t>(i)];
  gIORecord.tokenLength = static_cast<uint8_t>(token.size() < 255 ? token.size() : 255);
  gIORecord.tokenArea = static_cast<uint8_t>(area);
  gIORecord.tokenKind = kind;
}

void NoteIOFailure(IOStream stream, const char* fileName, IOOperation operation, int32_t code,
                   bool systemError) {
  gPendingIOCode = code;
  gIORecord.stream = stream;
  if (stream == IOStream::kFile) CopyName(fileName);
  gIORecord.operation = operation;
  gIORecord.code = code;
  gIORecord.systemError = systemError;
}

void NoteInputOutputStop() {
  gStopCause = StopCause::kInputOutput;
  CheckedArray<char, 0, 95>& text = gIORecord.systemText;
  text[0] = '\0';
  if (gIORecord.systemError)
    PlatformErrorText(gIORecord.code, text.Range(0, text.kSize), text.kSize);
}

void CheckIOResult() {
  if (gPendingIOCode == 0) [[likely]]
    return;
  NoteInputOutputStop();
  StopWithError(FailureStatus(gPendingIOCode), PLATFORM_CALLER_ADDRESS(), StopCause::kInputOutput);
}
