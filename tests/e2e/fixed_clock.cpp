// Preloaded into the program by the end-to-end tests only: CLOCK_MONOTONIC and
// CLOCK_MONOTONIC_RAW read as the nanosecond count in FIXED_MONOTONIC_NS, so the seed,
// and with it the whole run, is fixed (Wine's performance counter, which seeds the
// Windows build, is the raw clock in units of 100 ns). Every other clock, and both
// without the variable, are the real ones.
#include <dlfcn.h>
#include <time.h>

#include <cstdint>
#include <cstdlib>

namespace {

using ClockCall = int (*)(clockid_t, timespec*);

// Digits only, at most 19 of them: anything else leaves the clock real.
bool ParseNanoseconds(const char* text, uint64_t* value) {
  uint64_t n = 0;
  int digits = 0;
  for (; *text != '\0'; ++text, ++digits) {
    unsigned digit = static_cast<unsigned>(*text - '0');
    if (digit > 9 || digits == 19) return false;
    n = n * 10 + digit;
  }
  *value = n;
  return digits > 0;
}

}  // namespace

extern "C" int clock_gettime(clockid_t clock, timespec* time) {
  static ClockCall real = reinterpret_cast<ClockCall>(dlsym(RTLD_NEXT, "clock_gettime"));
  uint64_t fixed = 0;
  bool monotonic = clock == CLOCK_MONOTONIC || clock == CLOCK_MONOTONIC_RAW;
  const char* text = monotonic ? getenv("FIXED_MONOTONIC_NS") : nullptr;
  if (text == nullptr || !ParseNanoseconds(text, &fixed)) return real(clock, time);
  time->tv_sec = static_cast<time_t>(fixed / 1000000000);
  time->tv_nsec = static_cast<long>(fixed % 1000000000);
  return 0;
}
