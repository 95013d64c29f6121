#include "runtime/program/stop_line.h"

#include <errno.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "app/answer_notes.h"
#include "app/stop_words.h"
#include "fake_platform.h"
#include "model/progress.h"
#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/platform/platform.h"

// The lines of the stops the end-to-end suites cannot reach on purpose, composed from the
// notes as the program leaves them.

namespace {

const StopWords kAllocateWords = {"allocate", NumberPlace, OwnAccount, ActivityWords,
                                  MissingTableAdvice};

std::string Compose(uint8_t code, const StopWords& words = kAllocateWords) {
  return std::string(ComposeStopLine(code, words).View());
}

void ClearNotes() {
  gProgress = Progress{};
  gAnswerNotes = AnswerNotes{};
  gIORecord = IORecord{};
  gStopCause = StopCause::kNone;
}

// The system's own words for an error number, as the line quotes them.
std::string SystemWords(int code) {
  char text[96];
  PlatformErrorText(code, text, sizeof text);
  return text;
}

void NoteIOStop(IOStream stream, IOOperation operation, int32_t code, bool systemError) {
  NoteIOFailure(stream, "table.txt", operation, code, systemError);
  NoteInputOutputStop();
}

const std::string kTooLarge =
    "allocate: the table's profits are too large for single precision: an allocation's total "
    "profit is beyond its range (about 3.4E+38)";
// Where the sample table is: the Debian package's path, or in the Windows zip beside the
// programs.
#ifdef _WIN32
const std::string kSample = "examples\\function.txt in the program's folder";
#else
const std::string kSample = "/usr/share/doc/allocate/examples/function.txt";
#endif

TEST(StopLine, EachStopSaysWhatAndWhere) {
  struct Row {
    const char* name;
    std::function<void()> notes;
    uint8_t code;
    std::string line;
  } rows[] = {
      {"interrupted before anything", [] {}, 217, "allocate: interrupted"},
      {"interrupted while loading", [] { NoteLoading("function.txt"); }, 217,
       "allocate: interrupted while reading function.txt"},
      {"interrupted at the final wait", [] { NoteActivity(Activity::kWaiting); }, 217,
       "allocate: interrupted while waiting for ENTER"},
      {"invalid operation in the search", [] { NoteActivity(Activity::kSearching); }, 207,
       "allocate: invalid floating-point operation during the search"},
      // Every entry is a float: an overflow after loading is a sum of the table's profits.
      {"allocate-optimum: overflow in the search",
       [] {
         NoteLoading("function.txt");
         NoteTableEntry(8, 9);
         NoteActivity(Activity::kSearching);
       },
       205, kTooLarge + " during the search"},
      {"overflow while printing the report", [] { NoteActivity(Activity::kReporting); }, 205,
       kTooLarge + " while printing the report"},
      {"overflow while setting up", [] { NoteSetup(); }, 205,
       kTooLarge + " while setting up the population"},
      {"overflow while reading the table",
       [] {
         NoteLoading("function.txt");
         NoteTableEntry(1, 2);
         NoteToken("1e39", 0, TokenKind::kReal);
       },
       205,
       "allocate: function.txt, project 1, level 2: \"1e39\" is beyond the single-precision "
       "range (about 3.4E+38)"},
      {"allocate-optimum: the best profit beyond a float",
       [] {
         NoteLoading("function.txt");
         NoteActivity(Activity::kTotalling);
       },
       205,
       "allocate: the profit of the best allocation is beyond the single-precision range (about "
       "3.4E+38)"},
      {"access violation", [] { NoteQuestion(2); }, 216,
       "allocate: access violation at question 2 (iterations count)"},
      {"a code of no known failure", [] {}, 255, "allocate: stopped with runtime error 255"},
      {"standard input fails",
       [] { NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, EIO, true); }, 5,
       "allocate: cannot read standard input: " + SystemWords(EIO)},
      {"the table's close fails",
       [] { NoteIOStop(IOStream::kFile, IOOperation::kClose, EIO, true); }, 5,
       "allocate: cannot close table.txt: " + SystemWords(EIO)},
      {"the table may not be read",
       [] { NoteIOStop(IOStream::kFile, IOOperation::kOpen, EACCES, true); }, 13,
       "allocate: cannot open table.txt: " + SystemWords(EACCES)},
      {"the table is not open",
       [] { NoteIOStop(IOStream::kFile, IOOperation::kClose, 103, false); }, 103,
       "allocate: cannot close table.txt: it is not open"},
      {"a system error number equal to an own code",
       [] { NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, 104, true); }, 104,
       "allocate: cannot read standard input: " + SystemWords(104)},
      {"a bad answer at the final wait",
       [] {
         NoteActivity(Activity::kWaiting);
         NoteToken("x", 0, TokenKind::kReal);
         NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, 106, false);
       },
       106, "allocate: \"x\" is not a number"},
      {"interrupted between an I/O check and the end",
       [] {
         NoteQuestion(1);
         NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, 106, false);
         gStopCause = StopCause::kFault;
       },
       217, "allocate: interrupted at question 1 (number of individuals)"},
      // The cause is what the stopping path recorded, not guessed from the code.
      {"interrupted after a failure whose status is 217 too",
       [] {
         NoteQuestion(1);
         NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, 217, true);
         gStopCause = StopCause::kFault;
       },
       217, "allocate: interrupted at question 1 (number of individuals)"},
      {"interrupted at an answer given as option", [] { NoteOptionAnswer(2); }, 217,
       "allocate: interrupted at the value of --iterations"},
      {"a bad answer given as option",
       [] {
         NoteOptionAnswer(3);
         NoteToken("1,5", 0, TokenKind::kReal);
         NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, 106, false);
       },
       106, "allocate: value of --amplitude: \"1,5\" is not a number"},
      {"too many individuals given as option",
       [] {
         NoteOptionAnswer(1);
         NoteToken("21", 0, TokenKind::kInteger);
         NoteCountAnswer(21);
         NoteQuestion(2);  // asked: the count still came from its option
         NoteSetup();
       },
       201,
       "allocate: 21 individuals asked for, but the population holds at most 20; give "
       "--individuals 20 or less"},
      {"a table given by path is missing",
       [] {
         NoteLoading("data/table.txt");
         NoteIOFailure(IOStream::kFile, "data/table.txt", IOOperation::kOpen, ENOENT, true);
         NoteInputOutputStop();
       },
       ENOENT, "allocate: cannot open data/table.txt: " + SystemWords(ENOENT)},
      // A name that would break the line or reach the terminal as a command is quoted
      // as option values are; any other name is shown as it is, blanks and letters too.
      {"a table name with a line end",
       [] {
         NoteIOFailure(IOStream::kFile, "bad\nname", IOOperation::kOpen, ENOENT, true);
         NoteInputOutputStop();
       },
       ENOENT,
       "allocate: cannot open \"bad\\x0Aname\": " + SystemWords(ENOENT) +
           " (looked for in the working directory)"},
      {"a table name with an escape sequence",
       [] {
         NoteIOFailure(IOStream::kFile, "t/\x1B[2Jx \"y\".txt", IOOperation::kRead, EIO, true);
         NoteInputOutputStop();
       },
       EIO, "allocate: cannot read \"t/\\x1B[2Jx\\x20\\x22y\\x22.txt\": " + SystemWords(EIO)},
      {"a table name in UTF-8 with blanks",
       [] {
         NoteIOFailure(IOStream::kFile, "mes tables/\xC3\xA9t\xC3\xA9.txt", IOOperation::kRead, EIO,
                       true);
         NoteInputOutputStop();
       },
       EIO, "allocate: cannot read mes tables/\xC3\xA9t\xC3\xA9.txt: " + SystemWords(EIO)},
      // Only function.txt gets the advice: another name was given with --file already.
      {"function.txt is missing",
       [] {
         NoteIOFailure(IOStream::kFile, "function.txt", IOOperation::kOpen, ENOENT, true);
         NoteInputOutputStop();
       },
       ENOENT,
       "allocate: cannot open function.txt: " + SystemWords(ENOENT) +
           " (looked for in the working directory; --file PATH names another; the sample is " +
           kSample + ")"},
      {"a table in the working directory is missing",
       [] { NoteIOStop(IOStream::kFile, IOOperation::kOpen, ENOENT, true); }, ENOENT,
       "allocate: cannot open table.txt: " + SystemWords(ENOENT) +
           " (looked for in the working directory)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearNotes();
    row.notes();
    EXPECT_EQ(Compose(row.code), row.line + kPlatformLineEnd);
  }
  ClearNotes();
}

// The line is signed with the name the program hands in; without the program's own words
// the runtime still says what stopped the run.
TEST(StopLine, SignedWithTheProgramsNameInWhateverWordsItGives) {
  const StopWords optimum = {"allocate-optimum", NumberPlace, OwnAccount, ActivityWords};
  const StopWords bare = {"tool", nullptr, nullptr, nullptr};
  ClearNotes();
  NoteLoading("function.txt");
  EXPECT_EQ(
      Compose(217, optimum),
      std::string("allocate-optimum: interrupted while reading function.txt") + kPlatformLineEnd);
  EXPECT_EQ(Compose(217, bare), std::string("tool: interrupted") + kPlatformLineEnd);
  NoteTableEntry(1, 2);
  NoteToken("1e39", 0, TokenKind::kReal);
  EXPECT_EQ(Compose(205, bare), std::string("tool: floating-point overflow") + kPlatformLineEnd);
  NoteIOFailure(IOStream::kFile, "function.txt", IOOperation::kRead, 106, false);
  NoteInputOutputStop();
  EXPECT_EQ(Compose(106, bare), std::string("tool: \"1e39\" is not a number") + kPlatformLineEnd);
  NoteToken("12abc", 0, TokenKind::kInteger);
  EXPECT_EQ(Compose(106, optimum),
            std::string("allocate-optimum: function.txt, project 1, level 2: \"12abc\" is not an "
                        "integer from -2147483648 to 2147483647") +
                kPlatformLineEnd);
  ClearNotes();
}

// The line goes to standard error through the platform seam, in one write.
TEST(StopLine, WrittenToStandardErrorThroughTheSeam) {
  ClearNotes();
  FakePlatform fake;
  NoteQuestion(2);
  WriteStopLine(216, kAllocateWords);
  EXPECT_EQ(fake.errorWritten,
            std::string("allocate: access violation at question 2 (iterations count)") +
                kPlatformLineEnd);
  EXPECT_TRUE(fake.writes.empty());
  ClearNotes();
}

// Tokens show as typed, up to 16 bytes; other bytes, quotes and backslashes as \xHH.
TEST(StopLine, TokensShowTheirFirstBytesPrintably) {
  struct Row {
    std::string token;
    int area;
    std::string shown;
  } rows[] = {
      {"12abc", 0, "\"12abc\""},
      {"\xEF\xBB\xBF"
       "1",
       0, "\"\\xEF\\xBB\\xBF1\""},
      {"a\"b\\c\x7F", 0, "\"a\\x22b\\x5Cc\\x7F\""},
      {"0123456789abcdef", 0, "\"0123456789abcdef\""},
      {"0123456789abcdefg", 0, "\"0123456789abcdef...\""},
      {"0123456789", 32, "\"0123456789...\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.token);
    ClearNotes();
    NoteLoading("table.txt");
    NoteTableEntry(8, 9);
    NoteToken(row.token, row.area, TokenKind::kReal);
    NoteIOStop(IOStream::kFile, IOOperation::kRead, 106, false);
    std::string line = Compose(106);
    std::string head = "allocate: table.txt, project 8, level 9: " + row.shown;
    EXPECT_EQ(line.substr(0, head.size()), head) << line;
  }
  ClearNotes();
}

// The longest notes still give whole lines: nothing is cut.
TEST(StopLine, TheLongestLinesFitWhole) {
  const std::string name(270, 'n');
  ClearNotes();
  NoteLoading(name.c_str());
  NoteTableEntry(8, 9);
  NoteToken(std::string(64, '\x01'), 64, TokenKind::kReal);
  std::string escaped;
  for (int i = 0; i < 16; ++i) escaped += "\\x01";
  std::string line = Compose(205);
  EXPECT_EQ(line, "allocate: " + name.substr(0, 259) + ", project 8, level 9: \"" + escaped +
                      "...\" is beyond the single-precision range (about 3.4E+38)" +
                      kPlatformLineEnd);
  NoteIOFailure(IOStream::kFile, name.c_str(), IOOperation::kClose, ENOTRECOVERABLE, true);
  NoteInputOutputStop();
  line = Compose(ENOTRECOVERABLE);
  EXPECT_TRUE(line.ends_with(": " + SystemWords(ENOTRECOVERABLE) + kPlatformLineEnd)) << line;
  ClearNotes();
}

}  // namespace
