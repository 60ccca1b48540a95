#pragma once
// Uniform random numbers in [0, 1). Seeded once from the clock at start; tests seed
// it themselves to get the same boards every run.
#include <cstdint>

namespace rt {

float Rnd();
// Seeds from the current clock (Randomize).
void Randomize();
void SeedRandom(uint64_t seed);

}  // namespace rt
