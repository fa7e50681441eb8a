#pragma once
// The program's one pseudo-random generator: uniform over [0, 1). InitSettings seeds it from the
// tick count; tests seed it, or replace it with a source of their own.
#include <cstdint>

void SeedRandom(uint32_t seed);
double RandomUnit();

// Replaces the generator (nullptr restores it); for tests that need chosen draws.
using TRandomSource = double (*)();
void SetRandomSource(TRandomSource source);
