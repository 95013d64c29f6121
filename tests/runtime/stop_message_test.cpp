#include "runtime/stop_message.h"

#include <errno.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "runtime/platform.h"

// The lines of the stops the end-to-end suites cannot reach on purpose, composed from the
// notes as the program leaves them.

namespace {

std::string Compose(uint8_t code) {
  StopMessageText text;
  int length = ComposeStopMessage(code, text);
  return std::string(text.Range(0, length), static_cast<size_t>(length));
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

TEST(StopMessage, EachStopSaysWhatAndWhere) {
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
      {"invalid operation outside a mutation", [] { NoteActivity(Activity::kSearching); }, 207,
       "allocate: invalid floating-point operation during the search"},
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
         NoteToken("x", 0);
         NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, 106, false);
       },
       106, "allocate: \"x\" is not a number"},
      {"interrupted between an I/O check and the end",
       [] {
         NoteQuestion(1);
         NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, 106, false);
       },
       217, "allocate: interrupted at question 1 (number of individuals)"},
      {"interrupted at an answer given as option", [] { NoteOptionAnswer(2); }, 217,
       "allocate: interrupted at the value of --iterations"},
      {"a bad answer given as option",
       [] {
         NoteOptionAnswer(3);
         NoteToken("1,5", 0);
         NoteIOStop(IOStream::kStandardInput, IOOperation::kRead, 106, false);
       },
       106, "allocate: value of --amplitude: \"1,5\" is not a number"},
      {"too many individuals given as option",
       [] {
         NoteOptionAnswer(1);
         NoteQuestion(2);  // asked: the count still came from its option
         NoteSetup(21);
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
      {"a table in the working directory is missing",
       [] { NoteIOStop(IOStream::kFile, IOOperation::kOpen, ENOENT, true); }, ENOENT,
       "allocate: cannot open table.txt: " + SystemWords(ENOENT) +
           " (looked for in the working directory)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    gStopNotes = StopNotes{};
    row.notes();
    EXPECT_EQ(Compose(row.code), row.line + kPlatformLineEnd);
  }
  gStopNotes = StopNotes{};
}

// Tokens show as typed, up to 16 bytes; other bytes, quotes and backslashes as \xHH.
TEST(StopMessage, TokensShowTheirFirstBytesPrintably) {
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
    gStopNotes = StopNotes{};
    NoteLoading("table.txt");
    NoteTableEntry(8, 9);
    NoteToken(row.token, row.area);
    NoteIOStop(IOStream::kFile, IOOperation::kRead, 106, false);
    std::string line = Compose(106);
    std::string head = "allocate: table.txt, project 8, level 9: " + row.shown;
    EXPECT_EQ(line.substr(0, head.size()), head) << line;
  }
  gStopNotes = StopNotes{};
}

// The longest notes still give whole lines: nothing is cut.
TEST(StopMessage, TheLongestLinesFitWhole) {
  const std::string name(270, 'n');
  gStopNotes = StopNotes{};
  NoteLoading(name.c_str());
  NoteTableEntry(8, 9);
  NoteToken(std::string(64, '\x01'), 64);
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
  gStopNotes = StopNotes{};
}

}  // namespace
