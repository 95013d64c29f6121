#pragma once
// TextOutput: the buffered standard-output stream. Every byte the program shows passes
// through it. An output statement is a run of writes ending in FlushOutput or
// WriteLineEnd, followed by CheckIOResult. Failures are only recorded (core/io_status.h).
//
// Standard output opens on the first write. On a console (a character device) each
// statement is written out when it ends; a file, pipe or socket gets 128-byte blocks.

#include <cstdint>
#include <string_view>

#include "runtime/arith/extended.h"
#include "runtime/stream/text_buffer.h"

struct TextOutput {
  bool open;                // open for output
  int32_t handle;           // standard output's, once open
  bool flushEachStatement;  // standard output is the console
  TextBuffer buffer;
  uint32_t position;  // pending bytes in buffer, 0..128
};

extern TextOutput gTextOutput;

// Back to the closed state with nothing pending (start-up).
void MarkOutputClosed();

// width - length blanks first when positive; text is never cut.
void WriteText(std::string_view text, int32_t width = 0);
void WriteInteger(int32_t value, int32_t width = 0);
void WriteChar(char c);
void WriteReal(Extended value, int32_t width, int32_t decimals);
void WriteLineEnd();  // CR LF, then FlushOutput
// The system's own line end ("\n", CR LF on Windows), then FlushOutput: for text that
// other tools read as this system's text (--help, --version), not the report.
void WriteSystemLineEnd();
void FlushOutput();  // end of a statement: writes out only on a console

// Writes the pending bytes and empties the buffer. Returns 0 or the failure's code,
// which it has also stored as the pending I/O code. Async-signal-safe.
int32_t WriteOutBuffer();

// Writes out what is pending, if anything, when the stream is open. Async-signal-safe.
void WritePendingOutput();

// At the end of the run: writes out what is pending when the stream is open.
// Returns 0 or the failure's code. Async-signal-safe.
int32_t CloseOutput();
