#pragma once
// What both implementations of the platform seam share. Async-signal-safe.

#include <cstddef>
#include <cstdint>

// A code address relative to the start of the executable's image: the low 32 bits of
// the offset, and 1 for the image start itself, so a report never shows 0.
inline uint32_t RelativeCodeAddress(const void* address, const void* imageStart) {
  auto offset = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(imageStart);
  auto low = static_cast<uint32_t>(offset);
  return low != 0 ? low : 1;
}

// Copies a system's message for an error number into a caller's buffer, cut to fit and
// NUL-terminated; "Unknown error N" when the system has none.
//
//   CopyErrorText("No such file or directory", 2, text, 8)  -> "No such"
//   CopyErrorText(nullptr, 1234, text, 64)                  -> "Unknown error 1234"

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
