#include "runtime/core/random.h"

#include "runtime/platform/platform.h"

uint32_t gRandomSeed = 0;

void SeedFromClock() { gRandomSeed = gPlatform.seedClock(); }
