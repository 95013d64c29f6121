// PLACEHOLDER: to be replaced by the real channel (work in progress).
#include "runtime/text_channel.h"

TextChannel StandardInput;
uint16_t gChannelFlagDefault = kEndMarkerFlag;
void MarkStandardInputClosed() {}
void BindFile(TextChannel&, const char*) {}
void OpenForReading(TextChannel&) {}
void CloseChannel(TextChannel&) {}
int32_t ReadInteger(TextChannel&) { return 0; }
long double ReadReal(TextChannel&) { return 0; }
void SkipLine(TextChannel&) {}
