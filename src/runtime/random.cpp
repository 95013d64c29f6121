#include "runtime/random.h"

#include <time.h>

uint32_t RandomSeed = 0;

namespace {

uint32_t LowBits(const timespec& now, uint64_t unitsPerSecond, uint64_t nanosecondsPerUnit) {
  uint64_t count = static_cast<uint64_t>(now.tv_sec) * unitsPerSecond +
                   static_cast<uint64_t>(now.tv_nsec) / nanosecondsPerUnit;
  return static_cast<uint32_t>(count);
}

}  // namespace

// clock_gettime is called directly, not through <chrono>, so that a library preloaded
// in its place can fix the seed of the real executable.
void SeedFromClock() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) == 0) {
    RandomSeed = LowBits(now, 1000000000u, 1);
    return;
  }
  clock_gettime(CLOCK_REALTIME, &now);
  RandomSeed = LowBits(now, 1000u, 1000000u);
}
