#pragma once
// The sticky record of input and output: the pending failure code, and what the streams
// noted about the last failure and the last token read, so that a stop can say what
// failed where. Streams only record; CheckIOResult turns a pending code into a stop.
//
//   reading "12abc" as an integer: NoteToken("12abc", 0, TokenKind::kInteger), then
//   NoteIOFailure(kStandardInput, "", kRead, 106, false); CheckIOResult() stops with 106.

#include <cstdint>
#include <string_view>

#include "runtime/core/checked.h"

// The bytes of a file name the record keeps, before its NUL: a longer name is cut, and a
// stop would name another file.
inline constexpr int kNameLimit = 259;

enum class IOStream : uint8_t { kNone, kStandardInput, kStandardOutput, kFile };
enum class IOOperation : uint8_t { kOpen, kRead, kWrite, kClose };
enum class TokenKind : uint8_t { kReal, kInteger };

// How many of a token's first bytes the record keeps to show.
inline constexpr int kShownTokenBytes = 16;

struct IORecord {
  // The last token read: its first bytes, its length, the area it overflowed when too
  // long, and what was being read.
  CheckedArray<char, 0, kShownTokenBytes - 1> token;
  uint8_t tokenLength;
  uint8_t tokenArea;  // 0, or 32 / 64 when the token was longer than that
  TokenKind tokenKind;
  // The last real read was a valid token without a digit before its exponent (".",
  // "e5"): it read as 0. Cleared by every read of a real, also one at the end.
  bool realWithoutDigits;

  // The last failure.
  IOStream stream;
  IOOperation operation;
  bool systemError;  // code is the system's error number, not one of the runtime's own
  int32_t code;
  CheckedArray<char, 0, kNameLimit> fileName;  // of IOStream::kFile; NUL-terminated, cut

  // The system's message, fetched when a stop comes from the pending code.
  CheckedArray<char, 0, 95> systemText;  // NUL-terminated
};

extern int32_t gPendingIOCode;  // 0 when no failure is pending
extern IORecord gIORecord;

// The token just collected (its first bytes); area is 0, or the size it did not fit.
void NoteToken(std::string_view token, int area, TokenKind kind);

// Whether the real just read held no digit (ParsedReal::withoutDigits).
inline void NoteRealWithoutDigits(bool without) { gIORecord.realWithoutDigits = without; }

// A failure: leaves code pending and records where. fileName is used for IOStream::kFile.
// Async-signal-safe.
void NoteIOFailure(IOStream stream, const char* fileName, IOOperation operation, int32_t code,
                   bool systemError);

// The run stops because of the pending code: fetches the system's message for it and
// records the cause. Runs in normal context only (CheckIOResult, the end of a normal run).
void NoteInputOutputStop();

// Stops with FailureStatus of the pending code, if one is pending. Kept out of line: its
// return address identifies the failing statement.
[[gnu::noinline]] void CheckIOResult();
