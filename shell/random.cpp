#include "shell/random.h"

#include <random>

namespace {
std::mt19937 Generator{1};
TRandomSource Source = nullptr;
} // namespace

void SeedRandom(uint32_t seed) { Generator.seed(seed); }

double RandomUnit() {
    if (Source)
        return Source();
    // 32 random bits scaled by 2^-32: always below 1.
    return Generator() * (1.0 / 4294967296.0);
}

void SetRandomSource(TRandomSource source) { Source = source; }
