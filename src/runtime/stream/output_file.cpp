#include "runtime/stream/output_file.h"

#include "runtime/core/checked.h"
#include "runtime/platform/platform.h"

int OutputFile::Open(const char* name) {
  error_ = gPlatform.openForWriting(name, &handle_);
  return error_;
}

void OutputFile::Write(std::string_view text) {
  if (error_ != 0) return;
  error_ = gPlatform.write(handle_, text.data(), static_cast<uint32_t>(text.size()));
}

int OutputFile::Close() {
  int closed = gPlatform.close(handle_);
  if (error_ == 0) error_ = closed;
  return error_;
}

void AddSystemWords(WordsLine& line, int code) {
  CheckedArray<char, 0, 95> text;
  text[0] = '\0';
  PlatformErrorText(code, text.Range(0, text.kSize), text.kSize);
  line.Add(text);
}
