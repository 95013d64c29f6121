#pragma once
// A line on standard error that is no stop: written at once, unbuffered, with the
// system's line end; a failed write is ignored, as nothing could report it.
//
//   WriteErrorLine("allocate: function.txt holds 32 numbers; ...")
//     -> that text and "\n" (CR LF on Windows) on standard error

#include <string_view>

void WriteErrorLine(std::string_view text);

// Text on standard error with no line end, at once: a question asked there, whose answer
// follows on the same line.
void WriteErrorText(std::string_view text);
