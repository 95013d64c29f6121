#pragma once
// Copies a system's message for an error number into a caller's buffer, cut to fit and
// NUL-terminated; "Unknown error N" when the system has none. Async-signal-safe.
//
//   CopyErrorText("No such file or directory", 2, text, 8)  -> "No such"
//   CopyErrorText(nullptr, 1234, text, 64)                  -> "Unknown error 1234"

#include <cstddef>

inline void CopyErrorText(const char* message, int code, char* text, size_t size) {
  if (size == 0) return;
  char unknown[32];
  if (message == nullptr) {
    char digits[12];
    int n = 0;
    unsigned value = code < 0 ? 0u - static_cast<unsigned>(code) : static_cast<unsigned>(code);
    do digits[n++] = static_cast<char>('0' + value % 10);
    while ((value /= 10) != 0);
    size_t at = 0;
    for (const char* p = "Unknown error "; *p != '\0'; ++p) unknown[at++] = *p;
    if (code < 0) unknown[at++] = '-';
    while (n > 0) unknown[at++] = digits[--n];
    unknown[at] = '\0';
    message = unknown;
  }
  size_t length = 0;
  for (; message[length] != '\0' && length + 1 < size; ++length) text[length] = message[length];
  text[length] = '\0';
}
