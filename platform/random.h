// The one program-wide pseudo-random generator: uniform numbers on [0, 1). It is seeded
// once from the clock when the main window is first activated; the frequency search draws
// on it, so successive searches continue the same sequence. Tests seed it with a number.
#pragma once

#include <cstdint>

void seedRandom(std::uint64_t seed);
void seedRandomFromClock();
double randomUniform();
