#include "runtime/number/random.h"

#include "runtime/platform/platform.h"

uint32_t RandomSeed = 0;

void SeedFromClock() { RandomSeed = gPlatform.seedClock(); }
