#include "runtime/program/stop_line.h"

#include <string_view>

#include "runtime/core/error_words.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/platform/error_codes.h"
#include "runtime/platform/platform.h"

namespace {

// The noted token in double quotes, as Quoted shows it.
void AddToken(WordsLine& line) {
  const IORecord& r = gIORecord;
  int shown = r.tokenLength < kShownTokenBytes ? r.tokenLength : kShownTokenBytes;
  line.Quoted(std::string_view(r.token.Range(0, shown), static_cast<size_t>(shown)),
              r.tokenLength > shown || r.tokenArea != 0);
}

bool AddNumberPlace(WordsLine& line, const StopWords& words) {
  return words.numberPlace != nullptr && words.numberPlace(line);
}

void AddStreamName(WordsLine& line) {
  switch (gIORecord.stream) {
    case IOStream::kStandardInput:
      line.Add("standard input");
      break;
    case IOStream::kStandardOutput:
      line.Add("standard output");
      break;
    default:
      line.Name(gIORecord.fileName);
      break;
  }
}

const char* OperationVerb() {
  switch (gIORecord.operation) {
    case IOOperation::kOpen:
      return "cannot open ";
    case IOOperation::kRead:
      return "cannot read ";
    case IOOperation::kWrite:
      return "cannot write ";
    default:
      return "cannot close ";
  }
}

void AddInvalidNumber(WordsLine& line, const StopWords& words) {
  AddNumberPlace(line, words);
  AddToken(line);
  if (gIORecord.tokenArea != 0) {
    line.Add(" is longer than ").Number(gIORecord.tokenArea).Add(" characters");
  } else if (gIORecord.tokenKind == TokenKind::kInteger) {
    line.Add(" is not an integer from -2147483648 to 2147483647");
  } else {
    line.Add(" is not a number");
  }
}

bool NameHasFolder() {
  const auto& name = gIORecord.fileName;
  for (int i = 0; i < name.kSize && name[i] != '\0'; ++i) {
    if (name[i] == '/' || name[i] == '\\') return true;
  }
  return false;
}

// A stop from a pending I/O code: which stream, what failed and why.
void AddInputOutputFailure(WordsLine& line, const StopWords& words) {
  const IORecord& r = gIORecord;
  if (r.stream == IOStream::kNone) {
    line.Add("input or output failed with code ").Number(r.code);
    return;
  }
  if (!r.systemError && r.code == kInvalidNumber) {
    AddInvalidNumber(line, words);
    return;
  }
  line.Add(OperationVerb());
  AddStreamName(line);
  line.Add(": ");
  if (r.systemError) {
    line.Add(r.systemText);
    // The system's own words do not say where the file was looked for. 2 is the
    // file-not-found number of both systems. A name with a folder in it says it itself.
    if (r.stream == IOStream::kFile && r.operation == IOOperation::kOpen && r.code == 2 &&
        !NameHasFolder()) {
      line.Add(" (looked for in the working directory");
      if (words.missingFileAdvice != nullptr) words.missingFileAdvice(line);
      line.Put(')');
    }
    return;
  }
  const char* own = r.code >= kNotBound && r.code < kInvalidNumber
                        ? ErrorWords(static_cast<uint8_t>(r.code))
                        : nullptr;
  if (own != nullptr) {
    line.Add(own);
  } else {
    line.Add("failed with code ").Number(r.code);
  }
}

void AddFailure(WordsLine& line, uint8_t code, const StopWords& words) {
  if (words.ownAccount != nullptr && words.ownAccount(code, line)) return;
  if (code == kFloatOverflow && AddNumberPlace(line, words)) {
    AddToken(line);
    line.Add(" is beyond the single-precision range (about 3.4E+38)");
    return;
  }
  // Codes from 200 on are the stops of processor faults and checks.
  const char* name = code >= kDivisionByZero ? ErrorWords(code) : nullptr;
  if (name != nullptr) {
    line.Add(name);
  } else {
    line.Add("stopped with runtime error ").Number(code);
  }
  if (words.activity != nullptr) words.activity(line);
}

}  // namespace

WordsLine ComposeStopLine(uint8_t code, const StopWords& words) {
  WordsLine line(kLineEndRoom);
  if (words.program != nullptr) line.Add(words.program).Add(": ");
  // As the stopping path recorded it: a fault that lands between the I/O check and the
  // end is its own cause, whatever failure was noted before.
  if (gStopCause == StopCause::kInputOutput) {
    AddInputOutputFailure(line, words);
  } else {
    AddFailure(line, code, words);
  }
  line.Close(kPlatformLineEnd);
  return line;
}

void WriteStopLine(uint8_t code, const StopWords& words) {
  WordsLine line = ComposeStopLine(code, words);
  PlatformWriteErrorStream(line.View().data(), line.View().size());
}
