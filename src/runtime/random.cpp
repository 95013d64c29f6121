#include "runtime/random.h"

#include "runtime/platform.h"

uint32_t RandomSeed = 0;

void SeedFromClock() { RandomSeed = gPlatform.seedClock(); }
