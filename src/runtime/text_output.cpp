// PLACEHOLDER: to be replaced by the real stream (work in progress).
#include "runtime/text_output.h"

TextOutput gTextOutput;
void MarkOutputClosed() { gTextOutput = TextOutput{}; }
void WriteText(std::string_view, int32_t) {}
void WriteInteger(int32_t, int32_t) {}
void WriteChar(char) {}
void WriteReal(long double, int32_t, int32_t) {}
void WriteLineEnd() {}
void FlushOutput() {}
int32_t WriteOutBuffer() { return 0; }
int32_t CloseOutput() { return 0; }
