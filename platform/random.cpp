#include "platform/random.h"

#include <chrono>
#include <random>

namespace {
std::mt19937_64& generator()
{
    static std::mt19937_64 engine(1);
    return engine;
}
} // namespace

void seedRandom(std::uint64_t seed)
{
    generator().seed(seed);
}

void seedRandomFromClock()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    seedRandom(static_cast<std::uint64_t>(ticks));
}

double randomUniform()
{
    // 53 random bits give every double of [0, 1) on the 2^-53 grid; 1.0 is never returned.
    return static_cast<double>(generator()() >> 11) * 0x1.0p-53;
}
