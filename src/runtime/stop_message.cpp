#include "runtime/stop_message.h"

#include "runtime/fatal.h"
#include "runtime/format.h"
#include "runtime/platform.h"

StopNotes gStopNotes;

namespace {

constexpr int kShownTokenBytes = decltype(gStopNotes.token)::kSize;

void CopyName(const char* name) {
  int i = 0;
  for (; i + 1 < gStopNotes.fileName.kSize && name[i] != '\0'; ++i)
    gStopNotes.fileName[i] = name[i];
  gStopNotes.fileName[i] = '\0';
}

// A line under construction. Bytes beyond its area are dropped; two bytes always stay
// free for the line end (CR LF at most).
constexpr int kRoomForLineEnd = 2;
class Line {
 public:
  explicit Line(StopMessageText& text) : text_(text) {}

  Line& Add(const char* s) {
    while (*s != '\0') Put(*s++);
    return *this;
  }

  // A NUL-terminated text held in a checked array.
  template <int Hi>
  Line& Add(const CheckedArray<char, 0, Hi>& s) {
    for (int i = 0; i <= Hi && s[i] != '\0'; ++i) Put(s[i]);
    return *this;
  }

  Line& Number(int32_t value) {
    NumberText text = FormatInteger(value);
    for (char c : text.View()) Put(c);
    return *this;
  }

  // The noted token in double quotes; bytes that would not show as themselves as \xHH.
  Line& Token() {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const StopNotes& n = gStopNotes;
    int shown = n.tokenLength < kShownTokenBytes ? n.tokenLength : kShownTokenBytes;
    Put('"');
    for (int i = 0; i < shown; ++i) {
      auto b = static_cast<uint8_t>(n.token[i]);
      if (b > 0x20 && b < 0x7F && b != '"' && b != '\\') {
        Put(static_cast<char>(b));
      } else {
        Add("\\x");
        Put(kHex[b >> 4]);
        Put(kHex[b & 0xF]);
      }
    }
    if (n.tokenLength > shown || n.tokenArea != 0) Add("...");
    Put('"');
    return *this;
  }

  int Finish() {
    for (const char* end = kPlatformLineEnd; *end != '\0'; ++end) text_[length_++] = *end;
    return length_;
  }

 private:
  void Put(char c) {
    if (length_ + kRoomForLineEnd < text_.kSize) text_[length_++] = c;
  }

  StopMessageText& text_;
  int length_ = 0;
};

const char* QuestionName(int question) {
  switch (question) {
    case 1: return "number of individuals";
    case 2: return "iterations count";
    default: return "mutation amplitude";
  }
}

const char* OptionName(int question) {
  switch (question) {
    case 1: return "--individuals";
    case 2: return "--iterations";
    default: return "--amplitude";
  }
}

bool AnsweredByOption(int question) {
  return (gStopNotes.optionAnswers >> (question - 1) & 1) != 0;
}

void AddQuestion(Line& line) {
  if (AnsweredByOption(gStopNotes.question)) {
    line.Add("value of ").Add(OptionName(gStopNotes.question));
    return;
  }
  line.Add("answer to question ").Number(gStopNotes.question);
  line.Add(" (").Add(QuestionName(gStopNotes.question)).Add(")");
}

void AddTableEntry(Line& line) {
  line.Add(gStopNotes.fileName).Add(", project ").Number(gStopNotes.project);
  line.Add(", level ").Number(gStopNotes.level);
}

// Where a number was read, the table entry or the question, then ": ".
void AddNumberPlace(Line& line) {
  if (gStopNotes.activity == Activity::kLoading) {
    AddTableEntry(line);
    line.Add(": ");
  } else if (gStopNotes.activity == Activity::kAnswering) {
    AddQuestion(line);
    line.Add(": ");
  }
}

// " while ...": what the program was doing, for the stops that carry no place of their own.
void AddActivity(Line& line) {
  switch (gStopNotes.activity) {
    case Activity::kStarting: break;
    case Activity::kLoading: line.Add(" while reading ").Add(gStopNotes.fileName); break;
    case Activity::kAnswering:
      if (AnsweredByOption(gStopNotes.question)) {
        line.Add(" at the value of ").Add(OptionName(gStopNotes.question));
        break;
      }
      line.Add(" at question ").Number(gStopNotes.question);
      line.Add(" (").Add(QuestionName(gStopNotes.question)).Add(")");
      break;
    case Activity::kSettingUp: line.Add(" while setting up the population"); break;
    case Activity::kSearching:
    case Activity::kMutating: line.Add(" during the search"); break;
    case Activity::kReporting: line.Add(" while printing the report"); break;
    case Activity::kWaiting: line.Add(" while waiting for ENTER"); break;
  }
}

void AddStreamName(Line& line) {
  switch (gStopNotes.stream) {
    case IOStream::kStandardInput: line.Add("standard input"); break;
    case IOStream::kStandardOutput: line.Add("standard output"); break;
    default: line.Add(gStopNotes.fileName); break;
  }
}

const char* OperationVerb() {
  switch (gStopNotes.operation) {
    case IOOperation::kOpen: return "cannot open ";
    case IOOperation::kRead: return "cannot read ";
    case IOOperation::kWrite: return "cannot write ";
    default: return "cannot close ";
  }
}

void AddInvalidNumber(Line& line) {
  AddNumberPlace(line);
  line.Token();
  if (gStopNotes.tokenArea != 0) {
    line.Add(" is longer than ").Number(gStopNotes.tokenArea).Add(" characters");
  } else if (gStopNotes.activity == Activity::kAnswering && gStopNotes.question != 3) {
    line.Add(" is not an integer from -2147483648 to 2147483647");
  } else {
    line.Add(" is not a number");
  }
}

bool NameHasFolder() {
  for (int i = 0; i < gStopNotes.fileName.kSize && gStopNotes.fileName[i] != '\0'; ++i) {
    if (gStopNotes.fileName[i] == '/' || gStopNotes.fileName[i] == '\\') return true;
  }
  return false;
}

// A stop from a pending I/O code: which stream, what failed and why.
void AddInputOutputFailure(Line& line) {
  const StopNotes& n = gStopNotes;
  if (n.stream == IOStream::kNone) {
    line.Add("input or output failed with code ").Number(n.code);
    return;
  }
  if (!n.systemError && n.code == 106) {
    AddInvalidNumber(line);
    return;
  }
  line.Add(OperationVerb());
  AddStreamName(line);
  line.Add(": ");
  if (n.systemError) {
    line.Add(n.systemText);
    // The system's own words do not say where the file was looked for. 2 is the
    // file-not-found number of both systems. A name with a folder in it says it itself.
    if (n.stream == IOStream::kFile && n.operation == IOOperation::kOpen && n.code == 2 &&
        !NameHasFolder())
      line.Add(" (looked for in the working directory)");
    return;
  }
  switch (n.code) {
    case 102: line.Add("no file is bound to it"); break;
    case 103:
    case 104:
    case 105: line.Add("it is not open"); break;
    default: line.Add("failed with code ").Number(n.code); break;
  }
}

const char* FailureName(uint8_t code) {
  switch (code) {
    case 200: return "division by zero";
    case 201: return "index out of range";
    case 202: return "stack overflow";
    case 205: return "floating-point overflow";
    case 206: return "floating-point underflow";
    case 207: return "invalid floating-point operation";
    case 215: return "integer overflow";
    case 216: return "access violation";
    case 217: return "interrupted";
    case 218: return "illegal instruction";
    default: return nullptr;
  }
}

void AddFailure(Line& line, uint8_t code) {
  const StopNotes& n = gStopNotes;
  if (code == 201 && n.activity == Activity::kSettingUp) {
    line.Number(n.count).Add(" individuals asked for, but the population holds at most 20;");
    line.Add(AnsweredByOption(1) ? " give --individuals 20 or less"
                                 : " answer question 1 with 20 or less");
    return;
  }
  if (code == 205 && (n.activity == Activity::kLoading || n.activity == Activity::kAnswering)) {
    AddNumberPlace(line);
    line.Token().Add(" is beyond the single-precision range (about 3.4E+38)");
    return;
  }
  if (code == 207 && n.activity == Activity::kMutating) {
    line.Add("a mutation set every share of an individual to 0;");
    line.Add(" choose a smaller mutation amplitude");
    return;
  }
  const char* name = FailureName(code);
  if (name != nullptr) {
    line.Add(name);
  } else {
    line.Add("stopped with runtime error ").Number(code);
  }
  AddActivity(line);
}

}  // namespace

void NoteLoading(const char* fileName) {
  gStopNotes.activity = Activity::kLoading;
  CopyName(fileName);
}

void NoteTableEntry(int project, int level) {
  gStopNotes.project = static_cast<uint8_t>(project);
  gStopNotes.level = static_cast<uint8_t>(level);
}

void NoteQuestion(int question) {
  gStopNotes.activity = Activity::kAnswering;
  gStopNotes.question = static_cast<uint8_t>(question);
}

void NoteOptionAnswer(int question) {
  NoteQuestion(question);
  gStopNotes.optionAnswers = static_cast<uint8_t>(gStopNotes.optionAnswers | 1 << (question - 1));
}

void NoteSetup(uint32_t count) {
  gStopNotes.activity = Activity::kSettingUp;
  gStopNotes.count = count;
}

void NoteToken(std::string_view token, int area) {
  int shown = token.size() < kShownTokenBytes ? static_cast<int>(token.size()) : kShownTokenBytes;
  for (int i = 0; i < shown; ++i) gStopNotes.token[i] = token[static_cast<size_t>(i)];
  gStopNotes.tokenLength = static_cast<uint8_t>(token.size() < 255 ? token.size() : 255);
  gStopNotes.tokenArea = static_cast<uint8_t>(area);
}

void NoteIOFailure(IOStream stream, const char* fileName, IOOperation operation, int32_t code,
                   bool systemError) {
  gStopNotes.stream = stream;
  if (stream == IOStream::kFile) CopyName(fileName);
  gStopNotes.operation = operation;
  gStopNotes.code = code;
  gStopNotes.systemError = systemError;
}

void NoteInputOutputStop() {
  gStopNotes.inputOutputStop = true;
  CheckedArray<char, 0, 95>& text = gStopNotes.systemText;
  text[0] = '\0';
  if (gStopNotes.systemError)
    PlatformErrorText(gStopNotes.code, text.Range(0, text.kSize), text.kSize);
}

int ComposeStopMessage(uint8_t code, StopMessageText& text) {
  Line line(text);
  line.Add("allocate: ");
  // A signal that lands between the I/O check and the end brings its own code: then the
  // noted I/O failure is not what stopped the run.
  if (gStopNotes.inputOutputStop && code == FailureStatus(gStopNotes.code)) {
    AddInputOutputFailure(line);
  } else {
    AddFailure(line, code);
  }
  return line.Finish();
}

void WriteStopMessage(uint8_t code) {
  StopMessageText text;
  int length = ComposeStopMessage(code, text);
  PlatformWriteErrorStream(text.Range(0, length), static_cast<size_t>(length));
}
