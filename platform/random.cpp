// The random source over the C runtime's rand().
#include "platform/random.h"

#include <cstdlib>

void SeedRandom(unsigned seed) { srand(seed); }

int Random() { return rand(); }
